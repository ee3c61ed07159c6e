#pragma once

#include "SampleSink.h"

#include <QObject>

// An ISampleSink that re-emits each sample as a signal. Create it on the UI
// thread and connect sampleArrived to a slot there: the connection is then
// queued, so the worker never waits for the UI thread. Keep it alive until
// the worker has ended (declare it before the CAcquisitionWorker member).
class CSampleForwarder : public QObject, public ISampleSink
{
    Q_OBJECT
public:
    explicit CSampleForwarder(QObject* parent = nullptr);

    void OnSample(int speed, int torque) override;

signals:
    void sampleArrived(int speed, int torque);
};
