#pragma once

#include <QObject>
#include <memory>
#include <signal.h>
#include <vector>

class QSocketNotifier;

// Brings process signals (SIGINT, SIGTERM) into the Qt event loop: the
// handler only writes the signal's number into a pipe, and a notifier on the
// pipe's other end emits signalled() on the thread that owns this object.
// A signal that is ignored when the instance is made stays ignored (nohup,
// background jobs of a script). One instance per process at a time; the
// previous handlers come back when it is destroyed.
class CSignalPipe : public QObject
{
    Q_OBJECT
public:
    explicit CSignalPipe(const std::vector<int>& signalNumbers, QObject* parent = nullptr);
    ~CSignalPipe() override;

    // False when the pipe could not be made or another instance is active;
    // the signals then keep their previous handling.
    bool IsValid() const { return m_bValid; }
    // The signals this instance takes.
    std::vector<int> Signals() const;

signals:
    void signalled(int signalNumber);

private:
    void OnReadable();

    bool m_bValid = false;
    int m_fds[2] = {-1, -1};
    std::vector<std::pair<int, struct sigaction>> m_previous;
    std::unique_ptr<QSocketNotifier> m_notifier;
};
