#include "ui/ResourceIds.h"

#include "platform/ResourceModule.h"

namespace vantoc {

void RegisterResources()
{
    static plat::CResourceModule module(QStringLiteral("Vantoc"), QStringLiteral(":/vantoc"));
    plat::CResourceModule::SetProgram(&module);
}

QString String(unsigned id)
{
    return plat::LoadString(id);
}

QString DialogTemplatePath(int id)
{
    return QStringLiteral(":/vantoc/dialogs/%1.json").arg(id);
}

}  // namespace vantoc
