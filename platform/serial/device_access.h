#pragma once

#include <QCoreApplication>
#include <QString>

/// Who may use a device node and what a user it refuses can do about it: joining the device's
/// group helps only when that group may read and write it and is no superuser's group.
struct DeviceAccess
{
    Q_DECLARE_TR_FUNCTIONS(DeviceAccess)

public:
    enum class Remedy { JoinGroup, LogInAgain, None };

    QString owner;
    QString group;
    /// The permission bits, 0600 for rw-------.
    int mode = 0;
    /// Root's group, one with a superuser among its members, or one without a name: never one
    /// to send a user to.
    bool unfitToJoin = false;
    /// The user is a member of the group, but this login started before that.
    bool listedInGroup = false;
    /// This process already has the group's rights.
    bool processHasGroup = false;

    Remedy remedy() const;
    /// What to do, or why nothing a user can do helps; for the status line's tooltip.
    QString advice() const;

    /// The facts of a device node for the user running this process.
    static DeviceAccess of(const QString &devicePath);
};
