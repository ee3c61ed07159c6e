#include "SampleForwarder.h"

CSampleForwarder::CSampleForwarder(QObject* parent)
    : QObject(parent)
{
}

void CSampleForwarder::OnSample(int speed, int torque)
{
    emit sampleArrived(speed, torque);
}
