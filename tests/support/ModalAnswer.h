#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>

// Answers the next modal widget of type W from inside its own event loop:
// polls until it is the active modal widget, then hands it to the answer
// (which typically reads it and closes it). Fails the test when none comes
// within the deadline.
template <class W>
class ModalAnswer {
public:
    explicit ModalAnswer(std::function<void(W*)> answer, int deadlineMs = 10000)
        : m_answer(std::move(answer)), m_deadlineMs(deadlineMs)
    {
        m_clock.start();
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { Poll(); });
        m_timer.start();
    }
    ~ModalAnswer() { m_timer.stop(); }

    bool answered() const { return m_answered; }
    void cancel() { m_timer.stop(); }
    // Runs the event loop until the answer came or the deadline passed.
    bool wait()
    {
        while (!m_answered && m_timer.isActive()) QApplication::processEvents(QEventLoop::AllEvents, 5);
        return m_answered;
    }

private:
    void Poll()
    {
        if (auto* w = qobject_cast<W*>(QApplication::activeModalWidget()); w && w->isVisible()) {
            m_timer.stop();
            m_answered = true;
            m_answer(w);
        } else if (m_clock.elapsed() > m_deadlineMs) {
            m_timer.stop();
            ADD_FAILURE() << "no modal " << W::staticMetaObject.className() << " appeared";
        }
    }

    std::function<void(W*)> m_answer;
    int m_deadlineMs;
    QElapsedTimer m_clock;
    QTimer m_timer;
    bool m_answered = false;
};
