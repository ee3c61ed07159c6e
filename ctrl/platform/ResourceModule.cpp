#include "platform/ResourceModule.h"

#include "platform/GdiDefs.h"
#include "platform/SysColor.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QtDebug>
#include <vector>

namespace plat {

namespace {

CResourceModule* g_program = nullptr;

std::vector<const CResourceModule*> Chain()
{
    std::vector<const CResourceModule*> chain;
    if (g_program) chain.push_back(g_program);
    chain.push_back(&CResourceModule::Library());
    return chain;
}

struct IconFile {
    QString path;
    int size = 0;  // 0: no size in the name
};

std::vector<IconFile> IconFiles(const QString& root, const QString& id)
{
    std::vector<IconFile> files;
    const QString plain = root + "/icons/" + id + ".png";
    if (QFile::exists(plain)) files.push_back({plain, 0});
    const QRegularExpression sized("^" + QRegularExpression::escape(id) + "-(\\d+)\\.png$");
    const QDir dir(root + "/icons");
    for (const QString& entry : dir.entryList({id + "-*.png"}, QDir::Files)) {
        const auto m = sized.match(entry);
        if (m.hasMatch()) files.push_back({dir.filePath(entry), m.captured(1).toInt()});
    }
    return files;
}

}  // namespace

CResourceModule::CResourceModule(QString name, QString root) : m_name(std::move(name)), m_root(std::move(root))
{
    while (m_root.endsWith(u'/') && m_root.size() > 1) m_root.chop(1);
}

const CStringTable& CResourceModule::Strings() const
{
    std::call_once(m_stringsOnce, [this] {
        QFile file(m_root + "/strings.txt");
        if (!file.open(QIODevice::ReadOnly)) return;
        for (const QString& problem : m_strings.Parse(file.readAll()))
            qWarning().noquote() << file.fileName() << problem;
    });
    return m_strings;
}

bool CResourceModule::HasString(UINT id) const
{
    return Strings().Contains(id);
}

QString CResourceModule::LoadString(UINT id) const
{
    return Strings().Text(id);
}

QImage CResourceModule::LoadBitmap(const QString& id) const
{
    for (const char* ext : {".png", ".bmp"}) {
        const QString path = m_root + "/bitmaps/" + id + ext;
        if (QFile::exists(path)) {
            QImage image(path);
            if (!image.isNull()) return image;
        }
    }
    return {};
}

bool CResourceModule::HasIcon(const QString& id) const
{
    return !IconFiles(m_root, id).empty();
}

HICON CResourceModule::LoadIcon(const QString& id, CSize size) const
{
    if (size.cx <= 0 || size.cy <= 0) size = {GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)};
    const std::vector<IconFile> files = IconFiles(m_root, id);
    const IconFile* best = nullptr;
    QImage bestImage;
    for (const IconFile& f : files) {
        QImage image(f.path);
        if (image.isNull()) continue;
        const bool exact = image.width() == size.cx && image.height() == size.cy;
        if (exact) return CreateIconFromImage(image);
        if (!best || image.width() > bestImage.width()) {
            best = &f;
            bestImage = image;
        }
    }
    if (!best) return nullptr;
    return CreateIconFromImage(bestImage.scaled(size.cx, size.cy, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

CResourceModule& CResourceModule::Library()
{
    static CResourceModule library("Quindle", ":/quindle");
    return library;
}

CResourceModule* CResourceModule::SetProgram(CResourceModule* module)
{
    return std::exchange(g_program, module);
}

CResourceModule* CResourceModule::Program()
{
    return g_program;
}

QString CResourceModule::FindString(UINT id)
{
    for (const CResourceModule* m : Chain())
        if (m->HasString(id)) return m->LoadString(id);
    return {};
}

QImage CResourceModule::FindBitmap(const QString& id)
{
    for (const CResourceModule* m : Chain()) {
        QImage image = m->LoadBitmap(id);
        if (!image.isNull()) return image;
    }
    return {};
}

HICON CResourceModule::FindIcon(const QString& id, CSize size)
{
    for (const CResourceModule* m : Chain())
        if (m->HasIcon(id)) return m->LoadIcon(id, size);
    return nullptr;
}

CString LoadString(UINT id)
{
    return CResourceModule::FindString(id);
}

BOOL LoadString(CString& text, UINT id)
{
    for (const CResourceModule* m : Chain()) {
        if (m->HasString(id)) {
            text = m->LoadString(id);
            return TRUE;
        }
    }
    return FALSE;
}

HICON LoadIcon(UINT id, CSize size)
{
    return CResourceModule::FindIcon(QString::number(id), size);
}

}  // namespace plat
