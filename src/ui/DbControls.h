// Data-aware controls: each shows one field of the current record of a DataSource and writes the
// user's change back into it. Typing puts the dataset into edit state; the value is written when
// the control is left, Enter is pressed, or the record is posted or left.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPointer>
#include <QStringList>

#include "ui/DataSource.h"

class QButtonGroup;
class QVBoxLayout;

namespace zuna::ui {

// Every letter typed becomes a capital (login, password and key boxes).
void makeUpperCase(QLineEdit* edit);

class DbEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit DbEdit(QWidget* parent = nullptr);
    void bind(DataSource* src, const QString& field);
    DataSource* source() const { return src_; }
    QString fieldName() const { return field_; }
    void setUpperCase(bool on);
    bool upperCase() const { return upper_; }
    // Read-only by choice; calculated and lookup fields and queries are read-only anyway.
    void setDataReadOnly(bool on);
    // Display mask of a number field ("###,###,##0.00"), used while the box is not being edited.
    void setDisplayMask(const QString& mask);
    // Writes the typed text into the field now; false (after the error message) when it does not fit.
    bool commit();
    bool dirty() const { return dirty_; }

protected:
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void load();
    void resolve();
    void userEdited(const QString& text);
    bool fieldWritable() const;

    QPointer<DataSource> src_;
    QString field_;
    int index_ = -1;
    bool upper_ = false;
    bool dataReadOnly_ = false;
    QString mask_;
    bool dirty_ = false;
    bool loading_ = false;
};

class DbCheckBox : public QCheckBox {
    Q_OBJECT
public:
    explicit DbCheckBox(const QString& caption = {}, QWidget* parent = nullptr);
    void bind(DataSource* src, const QString& field);
    // For a text field: the stored texts of checked and unchecked ("T" and "").
    void setValues(const QString& checked, const QString& unchecked);
    void setDataReadOnly(bool on) { readOnly_ = on; }

private:
    void load();
    void userClicked(bool on);

    QPointer<DataSource> src_;
    QString field_;
    QString checkedValue_, uncheckedValue_;
    bool textValues_ = false;
    bool readOnly_ = false;
    bool loading_ = false;
};

// A group of radio buttons that stores the value of the chosen item (by default its position, 0..n-1).
class DbRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit DbRadioGroup(const QString& caption = {}, QWidget* parent = nullptr);
    void bind(DataSource* src, const QString& field);
    void setItems(const QStringList& captions, const QStringList& values = {});
    int itemIndex() const;  // -1: the field's value is none of the items
    void setDataReadOnly(bool on) { readOnly_ = on; }

signals:
    void itemChosen(int index);

private:
    void load();
    void userChose(int index);

    QPointer<DataSource> src_;
    QString field_;
    QStringList values_;
    QButtonGroup* group_;
    QVBoxLayout* layout_;
    bool readOnly_ = false;
    bool loading_ = false;
};

// A drop-down list of the rows of a list dataset: shows listField, stores keyField into the field.
class DbLookupCombo : public QComboBox {
    Q_OBJECT
public:
    explicit DbLookupCombo(QWidget* parent = nullptr);
    void bind(DataSource* src, const QString& field);
    void setList(Dataset* list, const QString& keyField, const QString& listField);
    // Re-reads the list dataset's rows (it is walked from the first row; its position is kept).
    void reloadList();
    QStringList keys() const { return keys_; }
    void setDataReadOnly(bool on) { readOnly_ = on; }

private:
    void load();
    void userChose(int index);

    QPointer<DataSource> src_;
    QString field_;
    Dataset* list_ = nullptr;
    QString keyField_, listField_;
    QStringList keys_;
    bool readOnly_ = false;
    bool loading_ = false;
};

}  // namespace zuna::ui
