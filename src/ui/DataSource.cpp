#include "ui/DataSource.h"

namespace zuna::ui {

DataSource::DataSource(Dataset* ds, QObject* parent) : QObject(parent) { setDataset(ds); }

DataSource::~DataSource() { detach(); }

void DataSource::setDataset(Dataset* ds) {
    if (ds == ds_) return;
    detach();
    ds_ = ds;
    attach();
    emit stateChanged(state());
    emit dataChanged();
}

void DataSource::attach() {
    if (!ds_) return;
    listener_ = ds_->addListener([this](DataEvent e, int f) { onEvent(e, f); });
    master_ = ds_->master();
    if (master_)
        masterListener_ = master_->addListener([this](DataEvent e, int) {
            if (e == DataEvent::Scrolled || e == DataEvent::Refreshed || e == DataEvent::Opened ||
                e == DataEvent::Closed)
                resync();
        });
    seenToken_ = ds_->recordToken();
}

void DataSource::detach() {
    if (ds_ && listener_) ds_->removeListener(listener_);
    if (master_ && masterListener_) master_->removeListener(masterListener_);
    listener_ = masterListener_ = 0;
    master_ = nullptr;
}

void DataSource::onEvent(DataEvent e, int field) {
    if (ds_) seenToken_ = ds_->recordToken();
    switch (e) {
        case DataEvent::StateChanged:
            emit stateChanged(ds_->state());
            break;
        case DataEvent::FieldChanged:
            emit fieldChanged(field);
            break;
        case DataEvent::Opened:
        case DataEvent::Closed:
            // The master link may have been set while closed.
            if (ds_ && ds_->master() != master_) {
                Dataset* d = ds_;
                detach();
                ds_ = d;
                attach();
            }
            emit stateChanged(state());
            emit dataChanged();
            break;
        case DataEvent::Scrolled:
        case DataEvent::Refreshed:
            emit dataChanged();
            break;
    }
}

int DataSource::fieldIndex(const QString& name) const {
    if (!ds_ || !ds_->active()) return -1;
    return ds_->fieldIndex(name.toStdString());
}

bool DataSource::beginEdit() {
    if (!active()) return false;
    if (ds_->editing()) return true;
    if (!autoEdit_) return false;
    if (ds_->recordCount() == 0) ds_->append();
    else ds_->edit();
    return ds_->editing();
}

void DataSource::updateRecord() {
    if (editing()) emit updatingRecord();
}

void DataSource::first() {
    updateRecord();
    ds_->first();
}
void DataSource::prior() {
    updateRecord();
    ds_->prior();
}
void DataSource::next() {
    updateRecord();
    ds_->next();
}
void DataSource::last() {
    updateRecord();
    ds_->last();
}
void DataSource::moveTo(int recNo) {
    updateRecord();
    ds_->setRecNo(recNo);
}
void DataSource::append() {
    updateRecord();
    ds_->append();
}
void DataSource::insert() {
    updateRecord();
    ds_->insert();
}
void DataSource::remove() { ds_->remove(); }
void DataSource::edit() { ds_->edit(); }
void DataSource::post() {
    updateRecord();
    ds_->post();
}
void DataSource::cancel() { ds_->cancel(); }
void DataSource::refresh() {
    updateRecord();
    ds_->refresh();
}

void DataSource::resync() {
    if (!active()) return;
    if (!ds_->editing()) ds_->recNo();  // follows the master and re-reads a table changed elsewhere
    if (ds_->recordToken() != seenToken_) {
        seenToken_ = ds_->recordToken();
        emit dataChanged();
    }
}

}  // namespace zuna::ui
