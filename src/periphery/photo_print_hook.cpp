#include "periphery/photo_print_hook.h"

#include "core/settings.h"
#include "periphery/photo_names.h"
#include "print/placeholders.h"

namespace zedora {

std::function<QString(const RecordValues&)> studentPhotoHook(const Settings& settings)
{
    return [&settings](const RecordValues& record) {
        const auto field = [&record](const char* name) {
            const QString n = QLatin1String(name);
            return record.hasField(n) ? record.value(n) : QString();
        };
        const StudentPhotoKey key{field("NAME"), field("VORNAME"), field("GEBOREN"), field("MW")};
        return studentPhotoFile(photoFolder(settings.SibankFotoordner),
                                photoBaseName(key, settings.Maennlich));
    };
}

} // namespace zedora
