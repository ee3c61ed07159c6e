// Where the communication log goes.
#include "link/CommLog.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

// Sets or clears an environment variable for one test.
class EnvGuard {
public:
    EnvGuard(const char* name, const QByteArray& value) : m_name(name), m_old(qgetenv(name)), m_had(qEnvironmentVariableIsSet(name))
    {
        if (value.isNull()) qunsetenv(name);
        else qputenv(name, value);
    }
    ~EnvGuard()
    {
        if (m_had) qputenv(m_name, m_old);
        else qunsetenv(m_name);
    }

private:
    const char* m_name;
    QByteArray m_old;
    bool m_had;
};

}  // namespace

TEST(CommLogPlace, ChosenFolderThenEnvironmentThenBesideTheProgram)
{
    QTemporaryDir chosen, fromEnv, state;
    const EnvGuard stateHome("XDG_STATE_HOME", QFile::encodeName(state.path()));
    const QString programDir = QCoreApplication::applicationDirPath();
    ASSERT_EQ(access(QFile::encodeName(programDir).constData(), W_OK), 0) << "the test program's folder is writable";

    struct Case {
        QString set;
        QByteArray env;
        QString expectedDir;
    };
    const Case cases[] = {
        {chosen.path(), QFile::encodeName(fromEnv.path()), chosen.path()},
        {QString(), QFile::encodeName(fromEnv.path()), fromEnv.path()},
        {QString(), QByteArray(), programDir},
    };
    for (const Case& c : cases) {
        const EnvGuard logDir("VANTOC_LOG_DIR", c.env);
        CCommLog::SetDirectory(c.set);
        EXPECT_EQ(QFileInfo(CCommLog::FilePath()).absoluteFilePath(),
                  QFileInfo(QDir(c.expectedDir).filePath("Flu_CommOutput.txt")).absoluteFilePath())
            << c.expectedDir.toStdString();
    }
    CCommLog::SetDirectory(QString());
}
