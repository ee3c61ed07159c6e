#include "platform/FontMapper.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QHash>
#include <algorithm>
#include <cmath>
#include <mutex>

namespace plat {

namespace {

constexpr int kDefaultEmPixels = 12;
// Heights beyond this are taken as this: glyphs that size only cost memory.
constexpr int kMaxEmPixels = 2048;

const QStringList& SansFaces()
{
    static const QStringList faces{"DejaVu Sans", "Liberation Sans", "Noto Sans", "FreeSans"};
    return faces;
}

const QStringList& CjkFaces()
{
    static const QStringList faces{"WenQuanYi Micro Hei", "Noto Sans CJK SC", "Noto Sans SC",
                                   "Droid Sans Fallback", "AR PL UMing CN"};
    return faces;
}

bool IsOneOf(const QString& face, std::initializer_list<const char*> names)
{
    return std::any_of(names.begin(), names.end(),
                       [&](const char* n) { return face.compare(QString::fromUtf8(n), Qt::CaseInsensitive) == 0; });
}

QStringList Installed(const QStringList& candidates)
{
    QStringList found;
    for (const QString& f : candidates)
        if (QFontDatabase::hasFamily(f)) found << f;
    return found;
}

QStringList DesktopSans()
{
    QStringList list;
    const QString general = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    if (!general.isEmpty() && QFontDatabase::hasFamily(general)) list << general;
    list << Installed(SansFaces());
    return list;
}

}  // namespace

namespace {

QStringList LookUpFaceName(const QString& face)
{
    const QString f = face.trimmed();
    QStringList list;
    if (f.isEmpty() || IsOneOf(f, {"Microsoft Sans Serif", "MS Shell Dlg", "MS Shell Dlg 2", "MS Sans Serif",
                                   "System", "Tahoma", "Arial", "Segoe UI", "Verdana"})) {
        list = DesktopSans();
    } else if (IsOneOf(f, {"宋体", "SimSun", "新宋体", "NSimSun", "黑体", "SimHei", "微软雅黑", "Microsoft YaHei",
                           "楷体", "KaiTi", "仿宋", "FangSong"})) {
        list = Installed(CjkFaces());
    } else if (IsOneOf(f, {"Courier New", "Courier", "Fixedsys", "Terminal", "Lucida Console", "Consolas"})) {
        list = Installed({"DejaVu Sans Mono", "Liberation Mono", "Noto Sans Mono"});
    } else if (IsOneOf(f, {"Times New Roman", "Times", "Georgia"})) {
        list = Installed({"DejaVu Serif", "Liberation Serif", "Noto Serif"});
    } else {
        list << f << DesktopSans();
    }
    for (const QString& cjk : Installed(CjkFaces()))
        if (!list.contains(cjk)) list << cjk;
    list.removeDuplicates();
    return list;
}

}  // namespace

QStringList MapFaceName(const QString& face)
{
    // Asking the font database costs about half a millisecond, and charts
    // make fonts on every paint; the installed faces do not change while
    // the program runs.
    static std::mutex lock;
    static QHash<QString, QStringList> known;
    const std::lock_guard guard(lock);
    auto it = known.constFind(face);
    if (it == known.constEnd()) it = known.insert(face, LookUpFaceName(face));
    return *it;
}

namespace {

int CellHeightAt(QFont font, int emPixels)
{
    font.setPixelSize(emPixels);
    return QFontMetrics(font).height();
}

// The largest em size whose cell (ascent + descent) is not above cell pixels.
int EmForCellHeight(const QFont& font, int cell)
{
    constexpr int probe = 100;
    int em = std::max(1, int(std::lround(double(cell) * probe / std::max(1, CellHeightAt(font, probe)))));
    while (em > 1 && CellHeightAt(font, em) > cell) --em;
    while (CellHeightAt(font, em + 1) <= cell) ++em;
    return em;
}

}  // namespace

QFont QFontFromLogFont(const LOGFONT& lf)
{
    QFont font;
    const QString face = QString::fromUtf8(lf.lfFaceName, int(qstrnlen(lf.lfFaceName, sizeof lf.lfFaceName)));
    QStringList families = MapFaceName(face);
    if (!families.isEmpty()) font.setFamilies(families);
    font.setStyleHint(QFont::SansSerif);
    font.setKerning(false);
    font.setWeight(QFont::Weight(std::clamp<int>(lf.lfWeight == 0 ? FW_NORMAL : lf.lfWeight, 1, 1000)));
    font.setItalic(lf.lfItalic != 0);
    font.setUnderline(lf.lfUnderline != 0);
    font.setStrikeOut(lf.lfStrikeOut != 0);

    int em = kDefaultEmPixels;
    if (lf.lfHeight < 0) em = lf.lfHeight < -kMaxEmPixels ? kMaxEmPixels : -lf.lfHeight;
    else if (lf.lfHeight > 0) em = EmForCellHeight(font, std::min<int>(lf.lfHeight, kMaxEmPixels));
    font.setPixelSize(em);

    if (lf.lfWidth > 0) {
        const int natural = QFontMetrics(font).averageCharWidth();
        if (natural > 0) font.setStretch(std::clamp<int>(int(std::lround(100.0 * lf.lfWidth / natural)), 1, 4000));
    }
    return font;
}

LOGFONT LogFontFromQFont(const QFont& font)
{
    LOGFONT lf;
    int em = font.pixelSize();
    if (em <= 0) em = int(std::lround(font.pointSizeF() * 96.0 / 72.0));
    lf.lfHeight = -em;
    lf.lfWeight = font.weight();
    lf.lfItalic = font.italic() ? 1 : 0;
    lf.lfUnderline = font.underline() ? 1 : 0;
    lf.lfStrikeOut = font.strikeOut() ? 1 : 0;
    lf.lfCharSet = DEFAULT_CHARSET;
    // Cut the UTF-8 name at a character boundary so it stays valid.
    QByteArray name = font.family().toUtf8();
    int n = std::min<int>(int(name.size()), int(sizeof lf.lfFaceName) - 1);
    while (n > 0 && n < name.size() && (uchar(name[n]) & 0xC0) == 0x80) --n;
    lf.SetFaceName(name.left(n).constData());
    return lf;
}

}  // namespace plat
