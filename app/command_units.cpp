#include "app/command_units.h"

namespace {

std::vector<CommandUnitMaker> &Makers()
{
    static std::vector<CommandUnitMaker> makers;
    return makers;
}

} // namespace

void RegisterCommandUnit(CommandUnitMaker maker)
{
    Makers().push_back(std::move(maker));
}

const std::vector<CommandUnitMaker> &RegisteredCommandUnits()
{
    return Makers();
}

void ClearCommandUnits()
{
    Makers().clear();
}
