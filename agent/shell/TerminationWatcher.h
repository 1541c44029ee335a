#pragma once

// Turns SIGTERM and SIGINT into a Qt signal on the UI thread (self-pipe), so that an agent
// stopped from outside saves its state like one whose desktop session ends.

#include <QObject>

class QSocketNotifier;

class CTerminationWatcher : public QObject {
    Q_OBJECT
public:
    explicit CTerminationWatcher(QObject* parent = nullptr);
    ~CTerminationWatcher() override;

signals:
    void TerminationRequested();

private:
    QSocketNotifier* m_notifier = nullptr;
};
