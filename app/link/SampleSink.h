#pragma once

// Receives the acquisition worker's samples. OnSample runs on the worker
// thread; an implementation hands the values to its own thread with a
// queued call and returns at once. It must never wait for the thread that
// starts or stops the worker, or Start and shutdown could deadlock on it.
class ISampleSink
{
public:
    virtual ~ISampleSink() = default;
    // speed: displayed speed in rpm; torque: Ncm, 0 to 65535.
    virtual void OnSample(int speed, int torque) = 0;
};
