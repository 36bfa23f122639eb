// The link between a dataset and the controls bound to it. It turns the dataset's events into
// signals, so a control or a button state that follows a table is one connection, and it runs
// the dataset operations of the controls: bound controls write what the user typed into the
// record before the record is posted or left.
#pragma once

#include <QObject>
#include <QString>

#include "engine/Dataset.h"

namespace zuna::ui {

class DataSource : public QObject {
    Q_OBJECT
public:
    explicit DataSource(Dataset* ds = nullptr, QObject* parent = nullptr);
    ~DataSource() override;

    void setDataset(Dataset* ds);
    Dataset* dataset() const { return ds_; }
    bool active() const { return ds_ && ds_->active(); }
    DatasetState state() const { return ds_ ? ds_->state() : DatasetState::Inactive; }
    bool editing() const { return ds_ && ds_->editing(); }
    // Field index by name; -1 when there is no dataset or no such field.
    int fieldIndex(const QString& name) const;

    // Typing into a bound control puts the dataset into edit (an empty view: insert) unless off.
    void setAutoEdit(bool on) { autoEdit_ = on; }
    bool autoEdit() const { return autoEdit_; }
    // Puts the dataset into edit state for a control's change; false when it cannot.
    bool beginEdit();

    // Dataset operations as the controls and navigators run them; errors propagate.
    void first();
    void prior();
    void next();
    void last();
    void append();
    void insert();
    void remove();
    void edit();
    void post();
    void cancel();
    void refresh();
    void moveTo(int recNo);
    // Bound controls write their pending text into the record (before post or a move).
    void updateRecord();
    // Picks up changes that the dataset does not announce: another dataset wrote the table,
    // or the master of a detail moved.
    void resync();

signals:
    void stateChanged(zuna::DatasetState s);
    // The current record is another one, or its contents were re-read (scroll, open, close, refresh).
    void dataChanged();
    void fieldChanged(int field);
    // Bound controls answer by writing their pending values (see updateRecord).
    void updatingRecord();

private:
    void attach();
    void detach();
    void onEvent(DataEvent e, int field);

    Dataset* ds_ = nullptr;
    Dataset* master_ = nullptr;
    int listener_ = 0;
    int masterListener_ = 0;
    bool autoEdit_ = true;
    std::uint64_t seenToken_ = 0;
};

}  // namespace zuna::ui
