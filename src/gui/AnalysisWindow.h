#pragma once

#include "analysis/Grouping.h"

#include <QObject>
#include <memory>
#include <string>

class QWidget;
class TAnalysisForm;
class TDataBase;
class TRecordListModel;
class TUserManager;

// The analysis window of the main window: one, not modal, made at its first
// opening and shown again later. It counts what the list shows; where the
// user's settings keep no place on a screen for it, it opens beside the main
// window.
class TAnalysisWindow : public QObject {
    Q_OBJECT
public:
    TAnalysisWindow(QWidget* mainWindow, const TDataBase& dataBase, TRecordListModel& list);
    ~TAnalysisWindow() override;

    // Makes the window at the first call, then shows and raises it.
    void Show(const TUserManager* settings);
    // Stores its place and size when it was made in this run.
    void StorePlace(TUserManager& settings) const;
    // The window goes (it counts the database's entries).
    void Close();

signals:
    // A group was chosen in the window: the list is to show only its entries.
    void GroupChosen(analysis::Grouping grouping, const std::string& value);

private:
    QWidget* mainWindow_;
    const TDataBase& dataBase_;
    TRecordListModel& list_;
    std::unique_ptr<TAnalysisForm> form_;
};
