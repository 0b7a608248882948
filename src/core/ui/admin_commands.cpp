#include "core/ui/admin_commands.h"

#include <QAction>
#include <QWidget>

namespace zedora {

void AdminCommands::add(QObject* item, Access access, bool available)
{
    if (!item)
        return;
    dropDeleted();
    Entry* entry = find(item);
    if (entry) {
        entry->access = access;
        entry->available = available;
    } else {
        entries_.append({item, access, available});
        entry = &entries_.last();
    }
    apply(*entry);
}

void AdminCommands::setAvailable(QObject* item, bool available)
{
    if (Entry* entry = find(item)) {
        entry->available = available;
        apply(*entry);
    }
}

bool AdminCommands::isAdminOnly(const QObject* item) const
{
    const Entry* entry = find(item);
    return entry && entry->access == Access::AdministratorOnly;
}

bool AdminCommands::isAvailable(const QObject* item) const
{
    const Entry* entry = find(item);
    return entry && entry->available;
}

void AdminCommands::setModeItems(QAction* supervisor, QAction* normalUser)
{
    supervisor_ = supervisor;
    normalUser_ = normalUser;
    setAdministratorMode(administrator_);
}

void AdminCommands::setAdministratorMode(bool on)
{
    administrator_ = on;
    dropDeleted();
    for (const Entry& entry : entries_)
        apply(entry);
    // Ticked here even when the mode did not change: a refused request has
    // already let the radio group tick "Systembetreuer".
    if (supervisor_)
        supervisor_->setChecked(on);
    if (normalUser_)
        normalUser_->setChecked(!on);
}

AdminCommands::Entry* AdminCommands::find(const QObject* item)
{
    for (Entry& entry : entries_)
        if (entry.item == item)
            return &entry;
    return nullptr;
}

const AdminCommands::Entry* AdminCommands::find(const QObject* item) const
{
    for (const Entry& entry : entries_)
        if (entry.item == item)
            return &entry;
    return nullptr;
}

void AdminCommands::apply(const Entry& entry) const
{
    const bool enabled = entry.available && (entry.access == Access::Everyone || administrator_);
    if (auto* action = qobject_cast<QAction*>(entry.item.data()))
        action->setEnabled(enabled);
    else if (auto* widget = qobject_cast<QWidget*>(entry.item.data()))
        widget->setEnabled(enabled);
}

void AdminCommands::dropDeleted()
{
    entries_.removeIf([](const Entry& entry) { return entry.item.isNull(); });
}

} // namespace zedora
