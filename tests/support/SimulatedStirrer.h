#pragma once

// A test fixture with the simulated stirrer on a pseudo-terminal and the
// process's CCommPort pointed at it. Header-only: test folders that include
// it link vantoc_link and stirrer_sim_engine themselves.
//
//     class MyTest : public SimulatedStirrerTest {};
//     TEST_F(MyTest, Something) { EXPECT_TRUE(port->Handshake()); }
//
// SetUp starts the simulator (settings from SimSettings(), overridable),
// sends the communication log to a temporary folder and opens the port
// unless OpenPortInSetUp() says otherwise (for code that opens it itself;
// the port name is set either way). TearDown closes and releases the port.

#include "link/CommLog.h"
#include "link/CommPort.h"
#include "StirrerSimulator.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

class SimulatedStirrerTest : public ::testing::Test
{
protected:
    virtual SimSettings Settings() const { return SimSettings(); }

    // A stirrer without lag or noise whose torque is 25 Ncm per 1000 rpm,
    // so a set-point gives known speeds and torques from the first sample.
    static SimSettings ExactSettings()
    {
        SimSettings s;
        s.timeConstantS = 0;
        s.noiseRpm = 0;
        s.viscosity = 25;
        return s;
    }
    virtual bool OpenPortInSetUp() const { return true; }

    void SetUp() override
    {
        ASSERT_TRUE(logDir.isValid());
        CCommLog::SetDirectory(logDir.path());
        sim = std::make_unique<CStirrerSimulator>(Settings());
        ASSERT_TRUE(sim->Start());
        port = CCommPort::Instance();
        port->SetPortName(QString::fromStdString(sim->SlavePath()));
        port->SetBaudRate(9600);
        if (OpenPortInSetUp()) {
            ASSERT_TRUE(port->Open());
        }
    }

    void TearDown() override
    {
        CCommPort::ReleaseInstance();
        port = nullptr;
        sim.reset();
        CCommLog::SetDirectory(QString());
    }

    QString LogPath() const { return logDir.filePath(CCommLog::kFileName); }

    // The log's bytes as they are on disk.
    QByteArray Log() const
    {
        QFile file(LogPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir logDir;
    std::unique_ptr<CStirrerSimulator> sim;
    CCommPort* port = nullptr;
};
