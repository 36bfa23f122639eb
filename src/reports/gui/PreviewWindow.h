// The report preview: pages of a laid-out document with page moves, zoom, print and export.
#pragma once

#include <QMainWindow>

#include "reports/engine/Document.h"

class QAction;
class QLabel;
class QScrollArea;

namespace zuna::report {

class TfmPreview : public QMainWindow {
    Q_OBJECT
public:
    explicit TfmPreview(QWidget* parent = nullptr);

    void setDocument(Document doc);
    void showReport(Report& report);  // lays it out, then shows it
    const Document& document() const { return doc_; }
    int currentPage() const { return page_ + 1; }  // 1-based; 0 when there is none
    double zoom() const { return zoom_; }           // 1 = actual size on the screen

    // Writes the document in the format the file name's extension names; false after
    // showing the error.
    bool exportTo(const QString& path);

public slots:
    void firstPage();
    void priorPage();
    void nextPage();
    void lastPage();
    void zoomIn();
    void zoomOut();
    void fitWidth();
    void fitPage();
    void print();
    void exportFile();

private:
    void goTo(int index);
    void setZoom(double z);
    void showPage();
    double screenDpi() const;

    Document doc_;
    int page_ = -1;
    double zoom_ = 1.0;
    QScrollArea* scroll_;
    QLabel* image_;
    QLabel* status_;
    QAction *first_, *prior_, *next_, *last_;
};

}  // namespace zuna::report
