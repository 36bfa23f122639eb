#include "ui/DbControls.h"

#include <QButtonGroup>
#include <QKeyEvent>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/fmVarGlobal.h"
#include "ui/Messages.h"

namespace zuna::ui {

static bool writableField(DataSource* src, int index) {
    if (!src || !src->active() || index < 0) return false;
    Dataset* ds = src->dataset();
    if (dynamic_cast<Query*>(ds)) return false;
    return ds->fieldKind(index) == FieldKind::Data;
}

void makeUpperCase(QLineEdit* edit) {
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString& t) {
        QString u = t.toUpper();
        if (u == t) return;
        int pos = edit->cursorPosition();
        edit->setText(u);
        edit->setCursorPosition(pos);
    });
}

// ------------------------------------------------------------------ DbEdit

DbEdit::DbEdit(QWidget* parent) : QLineEdit(parent) {
    connect(this, &QLineEdit::textEdited, this, &DbEdit::userEdited);
}

void DbEdit::bind(DataSource* src, const QString& field) {
    if (src_) disconnect(src_, nullptr, this, nullptr);
    src_ = src;
    field_ = field;
    index_ = -1;
    if (src_) {
        connect(src_, &DataSource::dataChanged, this, [this] {
            dirty_ = false;
            load();
        });
        connect(src_, &DataSource::stateChanged, this, [this](DatasetState s) {
            if (s != DatasetState::Edit && s != DatasetState::Insert) dirty_ = false;
            if (!dirty_) load();
        });
        connect(src_, &DataSource::fieldChanged, this, [this](int f) {
            if (f == index_ && !dirty_) load();
        });
        connect(src_, &DataSource::updatingRecord, this, [this] { commit(); });
    }
    load();
}

void DbEdit::setUpperCase(bool on) { upper_ = on; }

void DbEdit::setDataReadOnly(bool on) {
    dataReadOnly_ = on;
    load();
}

void DbEdit::setDisplayMask(const QString& mask) {
    mask_ = mask;
    load();
}

void DbEdit::resolve() {
    index_ = src_ ? src_->fieldIndex(field_) : -1;
}

bool DbEdit::fieldWritable() const { return !dataReadOnly_ && writableField(src_, index_); }

void DbEdit::load() {
    loading_ = true;
    resolve();
    if (!src_ || !src_->active() || index_ < 0) {
        setText({});
        setReadOnly(true);
        loading_ = false;
        return;
    }
    Dataset* ds = src_->dataset();
    const FieldDef& def = ds->fieldDef(index_);
    setReadOnly(!fieldWritable());
    if (def.type == FieldType::Text && ds->fieldKind(index_) == FieldKind::Data) setMaxLength(def.textWidth());
    else setMaxLength(32767);
    QString shown;
    try {
        if (!mask_.isEmpty() && !hasFocus() && (def.type == FieldType::Float || def.type == FieldType::SmallInt ||
                                                 def.type == FieldType::Integer)) {
            shown = ds->isNull(index_) ? QString()
                                       : QString::fromStdString(FormatMask(ds->asFloat(index_), mask_.toStdString()));
        } else {
            shown = QString::fromStdString(ds->asString(index_));
        }
    } catch (const std::exception&) {
        shown.clear();
    }
    if (shown != text()) setText(shown);
    loading_ = false;
}

void DbEdit::userEdited(const QString& typed) {
    if (loading_) return;
    QString t = upper_ ? typed.toUpper() : typed;
    int pos = cursorPosition();
    if (!fieldWritable()) {
        load();
        return;
    }
    if (!src_->editing()) {
        bool ok = guarded(this, [&] { src_->beginEdit(); });
        if (!ok || !src_->editing()) {
            dirty_ = false;
            load();
            return;
        }
    }
    dirty_ = true;
    if (t != text()) {
        loading_ = true;
        setText(t);
        loading_ = false;
    }
    setCursorPosition(pos);
}

bool DbEdit::commit() {
    if (!dirty_) return true;
    if (!src_ || !src_->editing() || index_ < 0) {
        dirty_ = false;
        return true;
    }
    try {
        src_->dataset()->setValue(index_, Value(text().toStdString()));
    } catch (const std::exception& e) {
        ShowError(this, e);
        return false;
    }
    dirty_ = false;
    load();
    return true;
}

void DbEdit::focusInEvent(QFocusEvent* e) {
    QLineEdit::focusInEvent(e);
    if (!mask_.isEmpty() && !dirty_) load();
}

void DbEdit::focusOutEvent(QFocusEvent* e) {
    QLineEdit::focusOutEvent(e);
    commit();
    if (!mask_.isEmpty() && !dirty_) load();
}

void DbEdit::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        commit();
        QLineEdit::keyPressEvent(e);
        return;
    }
    if (e->key() == Qt::Key_Escape && dirty_) {
        dirty_ = false;
        load();
        return;
    }
    QLineEdit::keyPressEvent(e);
}

// ------------------------------------------------------------------ DbCheckBox

DbCheckBox::DbCheckBox(const QString& caption, QWidget* parent) : QCheckBox(caption, parent) {
    connect(this, &QCheckBox::clicked, this, &DbCheckBox::userClicked);
}

void DbCheckBox::bind(DataSource* src, const QString& field) {
    if (src_) disconnect(src_, nullptr, this, nullptr);
    src_ = src;
    field_ = field;
    if (src_) {
        connect(src_, &DataSource::dataChanged, this, &DbCheckBox::load);
        connect(src_, &DataSource::stateChanged, this, &DbCheckBox::load);
        connect(src_, &DataSource::fieldChanged, this, [this](int f) {
            if (f == src_->fieldIndex(field_)) load();
        });
    }
    load();
}

void DbCheckBox::setValues(const QString& checked, const QString& unchecked) {
    checkedValue_ = checked;
    uncheckedValue_ = unchecked;
    textValues_ = true;
    load();
}

void DbCheckBox::load() {
    loading_ = true;
    int i = src_ ? src_->fieldIndex(field_) : -1;
    bool on = false;
    if (i >= 0) {
        try {
            Dataset* ds = src_->dataset();
            if (textValues_ && ds->fieldDef(i).type == FieldType::Text)
                on = QString::fromStdString(ds->asString(i)).compare(checkedValue_, Qt::CaseInsensitive) == 0;
            else
                on = ds->asBoolean(i);
        } catch (const std::exception&) {
            on = false;
        }
    }
    setChecked(on);
    setEnabled(i >= 0);
    loading_ = false;
}

void DbCheckBox::userClicked(bool on) {
    if (loading_) return;
    int i = src_ ? src_->fieldIndex(field_) : -1;
    if (readOnly_ || !writableField(src_, i)) {
        load();
        return;
    }
    bool ok = guarded(this, [&] {
        if (!src_->beginEdit()) return;
        Dataset* ds = src_->dataset();
        if (textValues_ && ds->fieldDef(i).type == FieldType::Text)
            ds->setValue(i, Value((on ? checkedValue_ : uncheckedValue_).toStdString()));
        else
            ds->setValue(i, Value(on));
    });
    if (!ok || !src_->editing()) load();
}

// ------------------------------------------------------------------ DbRadioGroup

DbRadioGroup::DbRadioGroup(const QString& caption, QWidget* parent) : QGroupBox(caption, parent) {
    group_ = new QButtonGroup(this);
    layout_ = new QVBoxLayout(this);
    connect(group_, &QButtonGroup::idClicked, this, &DbRadioGroup::userChose);
}

void DbRadioGroup::setItems(const QStringList& captions, const QStringList& values) {
    for (auto* b : group_->buttons()) {
        group_->removeButton(b);
        delete b;
    }
    values_.clear();
    for (int i = 0; i < captions.size(); ++i) {
        auto* b = new QRadioButton(captions[i], this);
        group_->addButton(b, i);
        layout_->addWidget(b);
        values_ << (i < values.size() ? values[i] : QString::number(i));
    }
    load();
}

void DbRadioGroup::bind(DataSource* src, const QString& field) {
    if (src_) disconnect(src_, nullptr, this, nullptr);
    src_ = src;
    field_ = field;
    if (src_) {
        connect(src_, &DataSource::dataChanged, this, &DbRadioGroup::load);
        connect(src_, &DataSource::stateChanged, this, &DbRadioGroup::load);
        connect(src_, &DataSource::fieldChanged, this, [this](int f) {
            if (f == src_->fieldIndex(field_)) load();
        });
    }
    load();
}

int DbRadioGroup::itemIndex() const {
    int i = src_ ? src_->fieldIndex(field_) : -1;
    if (i < 0) return -1;
    QString v;
    try {
        v = QString::fromStdString(src_->dataset()->asString(i)).trimmed();
    } catch (const std::exception&) {
        return -1;
    }
    for (int k = 0; k < values_.size(); ++k)
        if (values_[k].compare(v, Qt::CaseInsensitive) == 0) return k;
    return -1;
}

void DbRadioGroup::load() {
    loading_ = true;
    int k = itemIndex();
    group_->setExclusive(false);
    for (auto* b : group_->buttons()) b->setChecked(group_->id(b) == k);
    group_->setExclusive(true);
    loading_ = false;
}

void DbRadioGroup::userChose(int index) {
    if (loading_) return;
    int i = src_ ? src_->fieldIndex(field_) : -1;
    if (readOnly_ || !writableField(src_, i) || index < 0 || index >= values_.size()) {
        load();
        return;
    }
    bool ok = guarded(this, [&] {
        if (!src_->beginEdit()) return;
        src_->dataset()->setValue(i, Value(values_[index].toStdString()));
    });
    if (!ok || !src_->editing()) load();
    else emit itemChosen(index);
}

// ------------------------------------------------------------------ DbLookupCombo

DbLookupCombo::DbLookupCombo(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
    connect(this, qOverload<int>(&QComboBox::activated), this, &DbLookupCombo::userChose);
}

void DbLookupCombo::bind(DataSource* src, const QString& field) {
    if (src_) disconnect(src_, nullptr, this, nullptr);
    src_ = src;
    field_ = field;
    if (src_) {
        connect(src_, &DataSource::dataChanged, this, &DbLookupCombo::load);
        connect(src_, &DataSource::stateChanged, this, &DbLookupCombo::load);
        connect(src_, &DataSource::fieldChanged, this, [this](int f) {
            if (f == src_->fieldIndex(field_)) load();
        });
    }
    load();
}

void DbLookupCombo::setList(Dataset* list, const QString& keyField, const QString& listField) {
    list_ = list;
    keyField_ = keyField;
    listField_ = listField;
    reloadList();
}

void DbLookupCombo::reloadList() {
    loading_ = true;
    clear();
    keys_.clear();
    if (list_ && list_->active() && !list_->editing()) {
        try {
            int k = list_->field(keyField_.toStdString());
            int l = list_->field(listField_.toStdString());
            int here = list_->recNo();
            for (list_->first(); !list_->eof(); list_->next()) {
                keys_ << QString::fromStdString(list_->asString(k));
                addItem(QString::fromStdString(list_->asString(l)));
            }
            if (here > 0) list_->setRecNo(here);
        } catch (const std::exception& e) {
            ShowError(this, e);
        }
    }
    loading_ = false;
    load();
}

void DbLookupCombo::load() {
    loading_ = true;
    int i = src_ ? src_->fieldIndex(field_) : -1;
    int pick = -1;
    if (i >= 0) {
        try {
            QString v = QString::fromStdString(src_->dataset()->asString(i));
            pick = static_cast<int>(keys_.indexOf(v));
        } catch (const std::exception&) {
        }
    }
    setCurrentIndex(pick);
    setEnabled(i >= 0);
    loading_ = false;
}

void DbLookupCombo::userChose(int index) {
    if (loading_) return;
    int i = src_ ? src_->fieldIndex(field_) : -1;
    if (readOnly_ || !writableField(src_, i) || index < 0 || index >= keys_.size()) {
        load();
        return;
    }
    bool ok = guarded(this, [&] {
        if (!src_->beginEdit()) return;
        src_->dataset()->setValue(i, Value(keys_[index].toStdString()));
    });
    if (!ok || !src_->editing()) load();
}

}  // namespace zuna::ui
