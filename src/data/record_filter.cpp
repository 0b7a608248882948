#include "data/record_filter.h"

namespace zedora {

bool recordFilterAccepts(const QString& filterText, const std::optional<QString>& value,
                         bool readable)
{
    if (!readable)
        return false;
    if (filterText.isEmpty())
        return !value.has_value() || value->isEmpty();
    return value.has_value() && value->contains(filterText, Qt::CaseSensitive);
}

} // namespace zedora
