#include "app/view_factory.h"

namespace {

ViewFactory &Registered()
{
    static ViewFactory factory;
    return factory;
}

} // namespace

void SetViewFactory(ViewFactory factory)
{
    Registered() = std::move(factory);
}

const ViewFactory &CurrentViewFactory()
{
    return Registered();
}
