#pragma once
// The one place that decides which commands of the windows are enabled.
// A command is enabled when its function is available (built and possible
// right now) and, for an administrator-only command, the administrator mode
// is on. Windows register their actions and controls here.
#include <QList>
#include <QPointer>

class QAction;
class QObject;

namespace zedora {

class AdminCommands {
public:
    enum class Access { Everyone, AdministratorOnly };

    // item is a QAction or a QWidget; registering it again updates its entry.
    void add(QObject* item, Access access, bool available = true);
    void addAdminOnly(QObject* item, bool available = true) { add(item, Access::AdministratorOnly, available); }
    // Whether the function behind the item can run (built, or e.g. master-data
    // editing on). Unregistered items are ignored.
    void setAvailable(QObject* item, bool available);
    bool isAdminOnly(const QObject* item) const;
    bool isAvailable(const QObject* item) const;

    // The radio items of the menu "A&nwender" that show the mode.
    void setModeItems(QAction* supervisor, QAction* normalUser);
    void setAdministratorMode(bool on);
    bool administratorMode() const { return administrator_; }

private:
    struct Entry {
        QPointer<QObject> item;
        Access access;
        bool available;
    };
    Entry* find(const QObject* item);
    const Entry* find(const QObject* item) const;
    void apply(const Entry& entry) const;
    void dropDeleted();

    QList<Entry> entries_;
    QPointer<QAction> supervisor_;
    QPointer<QAction> normalUser_;
    bool administrator_ = false;
};

} // namespace zedora
