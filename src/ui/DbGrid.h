// A grid over a dataset: one row per record of the current view (filter and master link), the
// current record selected. Clicking a row makes it current; cells of writable fields can be edited
// in place, which puts the dataset into edit state like the other bound controls.
#pragma once

#include <QAbstractTableModel>
#include <QPointer>
#include <QTableView>
#include <vector>

#include "ui/DataSource.h"

namespace zuna::ui {

struct GridColumn {
    QString field;
    QString title;    // the field name when empty
    int width = 0;    // pixels; 0: the view's choice
    QString mask;     // display mask of a number field
};

class DatasetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DatasetModel(QObject* parent = nullptr);
    void bind(DataSource* src);
    DataSource* source() const { return src_; }
    // Columns: every field of the dataset when none are given.
    void setColumns(const std::vector<GridColumn>& cols);
    const std::vector<GridColumn>& columns() const { return cols_; }
    void setReadOnly(bool on) { readOnly_ = on; }

    // Re-reads every row (walks the dataset and returns to its record). Not while it is edited.
    void reload();
    int currentRow() const;  // 0-based row of the current record; -1 when none

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

signals:
    void currentRowChanged(int row);

private:
    void onData();
    void onState(DatasetState s);
    void onField(int field);
    QString cellText(int col) const;
    void refreshCurrentRow();
    void resolveColumns();

    QPointer<DataSource> src_;
    std::vector<GridColumn> cols_;
    bool defaultColumns_ = true;
    std::vector<int> colIndex_;
    std::vector<std::vector<QString>> rows_;
    int current_ = -1;
    bool walking_ = false;
    bool stale_ = false;
    bool readOnly_ = false;
    bool appendedRow_ = false;
};

class DbGrid : public QTableView {
    Q_OBJECT
public:
    explicit DbGrid(QWidget* parent = nullptr);
    void bind(DataSource* src, const std::vector<GridColumn>& cols = {});
    DatasetModel* dataModel() const { return model_; }
    void setDataReadOnly(bool on);

protected:
    void showEvent(QShowEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;

private:
    void followDataset(int row);
    void userMoved(const QModelIndex& current, const QModelIndex& previous);

    DatasetModel* model_;
    bool syncing_ = false;
};

}  // namespace zuna::ui
