#include "graph/VelGraphTitle.h"

#include "platform/Archive.h"

#include <QByteArray>

namespace {
constexpr int kDefaultHeight = 14;
constexpr const char* kFace = "Microsoft Sans Serif";
constexpr int kFaceBytes = 31;  // a LOGFONT face holds 31 bytes and the terminator

void WriteLogFont(plat::CArchive& ar, const plat::LOGFONT& lf)
{
    ar << lf.lfHeight << lf.lfWidth << lf.lfEscapement << lf.lfOrientation << lf.lfWeight;
    ar << lf.lfItalic << lf.lfUnderline << lf.lfStrikeOut << lf.lfCharSet;
    ar << lf.lfOutPrecision << lf.lfClipPrecision << lf.lfQuality << lf.lfPitchAndFamily;
}

void ReadLogFont(plat::CArchive& ar, plat::LOGFONT& lf)
{
    ar >> lf.lfHeight >> lf.lfWidth >> lf.lfEscapement >> lf.lfOrientation >> lf.lfWeight;
    ar >> lf.lfItalic >> lf.lfUnderline >> lf.lfStrikeOut >> lf.lfCharSet;
    ar >> lf.lfOutPrecision >> lf.lfClipPrecision >> lf.lfQuality >> lf.lfPitchAndFamily;
}

// Heights, widths and weights no font dialog gives; a file carrying them is
// damaged, and a font made from them would take the paint down with it.
constexpr plat::LONG kMaxFontPixels = 1000;
constexpr plat::LONG kMaxWeight = 1000;

bool IsPlausible(const plat::LOGFONT& lf)
{
    const auto within = [](plat::LONG v, plat::LONG limit) { return v >= -limit && v <= limit; };
    return within(lf.lfHeight, kMaxFontPixels) && within(lf.lfWidth, kMaxFontPixels) && lf.lfWeight >= 0
           && lf.lfWeight <= kMaxWeight;
}

// The face's UTF-8 bytes, cut to what the record holds without splitting
// a character.
QByteArray FitFaceName(const plat::CString& strFace)
{
    QByteArray face = strFace.toUtf8();
    if (face.size() <= kFaceBytes) return face;
    int n = kFaceBytes;
    while (n > 0 && (static_cast<unsigned char>(face[n]) & 0xC0) == 0x80) --n;
    return face.left(n);
}
}  // namespace

CVelGraphTitle::CVelGraphTitle() : CVelGraphTitle(kDefaultHeight, plat::FW_BOLD) {}

CVelGraphTitle::CVelGraphTitle(int nHeight, int nWeight, int nEscapement)
    : m_lfFont(MakeLogFont(nHeight, nWeight, nEscapement))
{
}

plat::LOGFONT CVelGraphTitle::MakeLogFont(int nHeight, int nWeight, int nEscapement)
{
    plat::LOGFONT lf;
    lf.lfHeight = nHeight;  // positive: cell height
    lf.lfWeight = nWeight;
    lf.lfEscapement = nEscapement;
    lf.lfOrientation = nEscapement;
    lf.SetFaceName(kFace);
    return lf;
}

void CVelGraphTitle::Serialize(plat::CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << static_cast<plat::LONG>(m_bShow) << m_strText << static_cast<plat::DWORD>(m_crText);
        WriteLogFont(ar, m_lfFont);
        ar << plat::CString::fromUtf8(m_lfFont.lfFaceName);
        return;
    }
    plat::LONG nShow = 0;
    ar >> nShow;
    m_bShow = nShow;
    ar >> m_strText;
    plat::DWORD crText = 0;
    ar >> crText;
    m_crText = crText;
    plat::LOGFONT lf;
    ReadLogFont(ar, lf);
    plat::CString strFace;
    ar >> strFace;
    lf.SetFaceName(FitFaceName(strFace).constData());
    if (IsPlausible(lf)) m_lfFont = lf;
}
