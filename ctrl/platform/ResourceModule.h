#pragma once

#include "platform/Icon.h"
#include "platform/QuindleExport.h"
#include "platform/StringTable.h"

#include <QImage>
#include <QString>
#include <mutex>
#include <optional>

namespace plat {

// The resources of one module (the library or a program), kept under one
// root: a Qt resource prefix such as ":/quindle" or ":/vantoc", or a folder.
//
//   <root>/strings.txt           the string table (format in StringTable.h)
//   <root>/bitmaps/<id>.png      bitmap <id> (".bmp" is read too), e.g.
//                                ":/vantoc/bitmaps/102.png", the digit strip
//   <root>/icons/<id>.png        icon <id> at its drawn size; optional
//   <root>/icons/<id>-<n>.png    images for exact sizes, e.g. "4005-16.png"
//
// An id is the resource's number in decimal, or its name for named ones.
// The library's module is ":/quindle" (ctrl/res/quindle.qrc, inside
// libquindle.so). A program registers its own module once at start-up with
// SetProgram; lookups "in the resource chain" try the program's module
// first and then the library's. Library code that reads its own resources
// asks Library() directly.
class QUINDLE_EXPORT CResourceModule {
public:
    CResourceModule(QString name, QString root);

    const QString& Name() const { return m_name; }
    const QString& Root() const { return m_root; }

    bool HasString(UINT id) const;
    // The text of string id, empty when the module has none.
    QString LoadString(UINT id) const;
    // The bitmap, or a null image when the module has none.
    QImage LoadBitmap(const QString& id) const;
    QImage LoadBitmap(UINT id) const { return LoadBitmap(QString::number(id)); }
    // A new icon at size (32 × 32 when size is (0, 0)): the exact-size image
    // when there is one, else the largest scaled; null when there is none.
    HICON LoadIcon(const QString& id, CSize size = {}) const;
    HICON LoadIcon(UINT id, CSize size = {}) const { return LoadIcon(QString::number(id), size); }
    bool HasIcon(const QString& id) const;

    // The library's module, always there.
    static CResourceModule& Library();
    // Sets the program's module (not owned; it must outlive its use) and
    // returns the previous one. Null removes it.
    static CResourceModule* SetProgram(CResourceModule* module);
    static CResourceModule* Program();

    // Lookups through the chain: program first, then the library.
    static QString FindString(UINT id);
    static QImage FindBitmap(const QString& id);
    static HICON FindIcon(const QString& id, CSize size = {});

private:
    const CStringTable& Strings() const;

    QString m_name;
    QString m_root;
    mutable std::once_flag m_stringsOnce;
    mutable CStringTable m_strings;
};

// String id from the resource chain; empty when no module has it.
QUINDLE_EXPORT CString LoadString(UINT id);
// As CString::LoadString: fills text and says whether the id was found.
QUINDLE_EXPORT BOOL LoadString(CString& text, UINT id);
// Icon id from the resource chain at the standard 32 × 32 size, or at size.
QUINDLE_EXPORT HICON LoadIcon(UINT id, CSize size = {});

}  // namespace plat
