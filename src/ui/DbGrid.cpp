#include "ui/DbGrid.h"

#include <QHeaderView>
#include <QItemSelectionModel>

#include "app/fmVarGlobal.h"
#include "ui/Messages.h"

namespace zuna::ui {

DatasetModel::DatasetModel(QObject* parent) : QAbstractTableModel(parent) {}

void DatasetModel::bind(DataSource* src) {
    if (src_) disconnect(src_, nullptr, this, nullptr);
    src_ = src;
    if (src_) {
        connect(src_, &DataSource::dataChanged, this, &DatasetModel::onData);
        connect(src_, &DataSource::stateChanged, this, &DatasetModel::onState);
        connect(src_, &DataSource::fieldChanged, this, &DatasetModel::onField);
    }
    reload();
}

void DatasetModel::setColumns(const std::vector<GridColumn>& cols) {
    defaultColumns_ = cols.empty();
    beginResetModel();
    cols_ = cols;
    endResetModel();
    reload();
}

void DatasetModel::resolveColumns() {
    colIndex_.clear();
    if (!src_ || !src_->active()) return;
    Dataset* ds = src_->dataset();
    if (defaultColumns_) {
        cols_.clear();
        for (int i = 0; i < ds->fieldCount(); ++i) {
            GridColumn c;
            c.field = QString::fromStdString(ds->fieldDef(i).name);
            cols_.push_back(c);
        }
    }
    for (const auto& c : cols_) colIndex_.push_back(ds->fieldIndex(c.field.toStdString()));
}

QString DatasetModel::cellText(int col) const {
    int i = colIndex_[static_cast<size_t>(col)];
    if (i < 0) return {};
    Dataset* ds = src_->dataset();
    try {
        const auto& mask = cols_[static_cast<size_t>(col)].mask;
        FieldType t = ds->fieldDef(i).type;
        if (!mask.isEmpty() && (t == FieldType::Float || t == FieldType::SmallInt || t == FieldType::Integer)) {
            if (ds->isNull(i)) return {};
            return QString::fromStdString(FormatMask(ds->asFloat(i), mask.toStdString()));
        }
        return QString::fromStdString(ds->asString(i));
    } catch (const std::exception&) {
        return {};
    }
}

void DatasetModel::reload() {
    beginResetModel();
    rows_.clear();
    current_ = -1;
    appendedRow_ = false;
    stale_ = false;
    resolveColumns();
    if (src_ && src_->active()) {
        Dataset* ds = src_->dataset();
        if (ds->editing()) {
            stale_ = true;  // read once the edit is posted or cancelled
        } else {
            walking_ = true;
            try {
                int here = ds->recNo();
                for (ds->first(); !ds->eof(); ds->next()) {
                    std::vector<QString> r;
                    r.reserve(colIndex_.size());
                    for (size_t c = 0; c < colIndex_.size(); ++c) r.push_back(cellText(static_cast<int>(c)));
                    rows_.push_back(std::move(r));
                }
                if (here > 0) ds->setRecNo(here);
                else ds->first();
                current_ = ds->recNo() - 1;
            } catch (...) {
                walking_ = false;
                endResetModel();
                throw;
            }
            walking_ = false;
        }
    }
    endResetModel();
    emit currentRowChanged(current_);
}

int DatasetModel::currentRow() const { return current_; }

void DatasetModel::refreshCurrentRow() {
    if (!src_ || !src_->active() || current_ < 0 || current_ >= static_cast<int>(rows_.size())) return;
    auto& r = rows_[static_cast<size_t>(current_)];
    for (size_t c = 0; c < colIndex_.size() && c < r.size(); ++c) r[c] = cellText(static_cast<int>(c));
    emit dataChanged(index(current_, 0), index(current_, columnCount() - 1));
}

void DatasetModel::onData() {
    if (walking_) return;
    if (!src_ || !src_->active()) {
        reload();
        return;
    }
    Dataset* ds = src_->dataset();
    if (ds->editing()) {
        refreshCurrentRow();
        return;
    }
    int n = ds->recordCount();
    if (stale_ || n != static_cast<int>(rows_.size()) - (appendedRow_ ? 1 : 0) || appendedRow_) {
        reload();
        return;
    }
    int r = ds->recNo() - 1;
    if (r != current_) {
        current_ = r;
        emit currentRowChanged(current_);
    }
    refreshCurrentRow();
}

void DatasetModel::onState(DatasetState s) {
    if (walking_ || !src_) return;
    if (s == DatasetState::Insert) {
        // The new record shows as an extra row at the end until it is posted.
        int n = static_cast<int>(rows_.size());
        beginInsertRows({}, n, n);
        rows_.emplace_back(colIndex_.size());
        endInsertRows();
        appendedRow_ = true;
        current_ = n;
        refreshCurrentRow();
        emit currentRowChanged(current_);
        return;
    }
    if (s == DatasetState::Browse || s == DatasetState::Inactive) {
        reload();  // a post or a cancel may move the record or change the rows
        return;
    }
    refreshCurrentRow();
}

void DatasetModel::onField(int) {
    if (!walking_) refreshCurrentRow();
}

int DatasetModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int DatasetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(cols_.size());
}

QVariant DatasetModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= static_cast<int>(rows_.size())) return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        const auto& r = rows_[static_cast<size_t>(index.row())];
        if (index.column() < static_cast<int>(r.size())) return r[static_cast<size_t>(index.column())];
    }
    if (role == Qt::TextAlignmentRole && src_ && src_->active()) {
        int i = colIndex_[static_cast<size_t>(index.column())];
        if (i >= 0) {
            FieldType t = src_->dataset()->fieldDef(i).type;
            if (t == FieldType::Float || t == FieldType::SmallInt || t == FieldType::Integer)
                return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        }
    }
    return {};
}

QVariant DatasetModel::headerData(int section, Qt::Orientation o, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (o == Qt::Vertical) return {};
    if (section < 0 || section >= static_cast<int>(cols_.size())) return {};
    const auto& c = cols_[static_cast<size_t>(section)];
    return c.title.isEmpty() ? c.field : c.title;
}

Qt::ItemFlags DatasetModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (readOnly_ || !index.isValid() || !src_ || !src_->active()) return f;
    Dataset* ds = src_->dataset();
    int i = colIndex_[static_cast<size_t>(index.column())];
    if (i >= 0 && !dynamic_cast<Query*>(ds) && ds->fieldKind(i) == FieldKind::Data) f |= Qt::ItemIsEditable;
    return f;
}

bool DatasetModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || !src_ || !src_->active()) return false;
    int i = colIndex_[static_cast<size_t>(index.column())];
    if (i < 0) return false;
    return guarded(nullptr, [&] {
        if (index.row() + 1 != src_->dataset()->recNo() && !src_->editing()) src_->moveTo(index.row() + 1);
        if (!src_->beginEdit()) return;
        src_->dataset()->setValue(i, Value(value.toString().toStdString()));
    });
}

// ------------------------------------------------------------------ DbGrid

DbGrid::DbGrid(QWidget* parent) : QTableView(parent) {
    model_ = new DatasetModel(this);
    setModel(model_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->hide();
    connect(model_, &DatasetModel::currentRowChanged, this, &DbGrid::followDataset);
    connect(model_, &QAbstractItemModel::modelReset, this, [this] {
        for (size_t c = 0; c < model_->columns().size(); ++c)
            if (model_->columns()[c].width > 0) setColumnWidth(static_cast<int>(c), model_->columns()[c].width);
        followDataset(model_->currentRow());
    });
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, &DbGrid::userMoved);
}

void DbGrid::bind(DataSource* src, const std::vector<GridColumn>& cols) {
    guarded(this, [&] {
        model_->bind(src);
        model_->setColumns(cols);
    });
}

void DbGrid::setDataReadOnly(bool on) {
    model_->setReadOnly(on);
    setEditTriggers(on ? QAbstractItemView::NoEditTriggers : QAbstractItemView::DoubleClicked |
                                                                   QAbstractItemView::EditKeyPressed |
                                                                   QAbstractItemView::AnyKeyPressed);
}

void DbGrid::followDataset(int row) {
    syncing_ = true;
    if (row >= 0) {
        QModelIndex cur = currentIndex();
        int col = cur.isValid() ? cur.column() : 0;
        setCurrentIndex(model_->index(row, col));
        scrollTo(model_->index(row, col));
    } else {
        clearSelection();
    }
    syncing_ = false;
}

void DbGrid::userMoved(const QModelIndex& current, const QModelIndex&) {
    if (syncing_ || !current.isValid()) return;
    DataSource* src = model_->source();
    if (!src || !src->active()) return;
    if (current.row() == model_->currentRow()) return;
    bool ok = guarded(this, [&] { src->moveTo(current.row() + 1); });
    if (!ok) followDataset(model_->currentRow());
}

void DbGrid::showEvent(QShowEvent* e) {
    QTableView::showEvent(e);
    if (auto* s = model_->source()) guarded(this, [&] { s->resync(); });
}

void DbGrid::focusInEvent(QFocusEvent* e) {
    QTableView::focusInEvent(e);
    if (auto* s = model_->source()) guarded(this, [&] { s->resync(); });
}

}  // namespace zuna::ui
