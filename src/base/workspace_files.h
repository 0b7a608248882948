#pragma once
// File operations on the workspace that keep the created-files register
// current. Paths may use '\' or '/' and any letter case.
#include <QString>
#include <QStringList>

namespace zedora {

class TNeueDateien;

class WorkspaceFiles {
public:
    explicit WorkspaceFiles(TNeueDateien& reg) : register_(reg) {}

    // Nothing when it exists; errors are ignored.
    void createDirectory(const QString& path);
    void deleteFile(const QString& path);
    // Every file of dir whose base name matches nameMask and whose extension
    // matches extensionMask ('*' and '?' wildcards, any letter case), e.g.
    // ("*", "MDX"). The register is not changed.
    void deleteByMask(const QString& dir, const QString& nameMask, const QString& extensionMask);
    // Overwrites the destination; the outcome lands in copied() or failed().
    bool copyFile(const QString& source, const QString& destination);
    // Removes the whole tree without asking.
    void deleteDirectory(const QString& path);
    void moveDirectory(const QString& source, const QString& destination, bool registerIt);

    const QStringList& copied() const { return copied_; }
    const QStringList& failed() const { return failed_; }
    void clearCopyLists();

    TNeueDateien& createdFiles() { return register_; }

private:
    TNeueDateien& register_;
    QStringList copied_;
    QStringList failed_;
};

} // namespace zedora
