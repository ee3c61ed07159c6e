// A chart's property file and the archive texts it is made of. Whatever a
// chart reads, it saves as a file that reads back to the same chart; texts
// read from any bytes encode and decode to themselves, never larger than
// the bytes they came from.
#include "graph/VelGraph.h"
#include "platform/Archive.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <unistd.h>

namespace {

class FuzzGraph : public CVelGraph {
public:
    FuzzGraph() : CVelGraph(nullptr, GRAPH_LINE) {}
    using CVelGraph::ReadProperty;
    using CVelGraph::SerializeProperty;
};

// Loads bytes into the chart as its property file would; false when they ended early.
bool Load(FuzzGraph& graph, const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    try {
        plat::CArchive ar(&buffer, plat::CArchive::load);
        graph.SerializeProperty(ar);
        return true;
    } catch (const plat::CArchiveException&) {
        return false;
    }
}

QByteArray Store(FuzzGraph& graph)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    plat::CArchive ar(&buffer, plat::CArchive::store);
    graph.SerializeProperty(ar);
    ar.Close();
    return buffer.data();
}

const QString& ScratchPath()
{
    static const QString path = QDir::tempPath() + QStringLiteral("/fuzz_property_file.%1.bin").arg(::getpid());
    static const bool removedAtExit = std::atexit([] { QFile::remove(ScratchPath()); }) == 0;
    (void)removedAtExit;
    return path;
}

// Texts one after the other until the bytes run out.
void CheckTexts(const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    plat::CArchive ar(&buffer, plat::CArchive::load, 16);
    for (;;) {
        plat::CString text;
        try {
            ar >> text;
        } catch (const plat::CArchiveException&) {
            return;
        }
        if (text.size() > bytes.size()) std::abort();
        const QByteArray encoded = plat::CArchive::EncodeString(text);
        const qsizetype utf8 = text.toUtf8().size();
        const qsizetype prefix = utf8 < 0xFF ? 1 : utf8 < 0xFFFE ? 3 : 7;
        if (encoded.size() != prefix + utf8) std::abort();
        QBuffer again;
        again.setData(encoded);
        again.open(QIODevice::ReadOnly);
        plat::CArchive back(&again, plat::CArchive::load);
        plat::CString decoded;
        back >> decoded;
        if (decoded != QString::fromUtf8(text.toUtf8())) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 64 * 1024) return 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    CheckTexts(bytes);

    // Whatever the chart kept of the file, saved and read back, is a fixed point.
    FuzzGraph graph;
    Load(graph, bytes);
    const QByteArray saved = Store(graph);
    FuzzGraph copy;
    if (!Load(copy, saved)) std::abort();
    if (Store(copy) != saved) std::abort();

    // Read from a file, as the chart does on start, it keeps the same.
    QFile file(ScratchPath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) std::abort();
    file.close();
    FuzzGraph fromFile;
    fromFile.ReadProperty(ScratchPath());
    if (Store(fromFile) != saved) std::abort();
    return 0;
}
