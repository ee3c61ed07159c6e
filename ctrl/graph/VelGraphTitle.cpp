#include "graph/VelGraphTitle.h"

namespace {
constexpr int kDefaultHeight = 14;
constexpr const char* kFace = "Microsoft Sans Serif";
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
