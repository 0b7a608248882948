#pragma once
// The page "Eingabe - Stammdaten": the master data of the current student in
// fixed edit fields, bound to the student table, and the buttons that switch
// master-data editing and add or delete records.
#include <QHash>
#include <QString>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace zedora {

class Interaction;
class StudentTable;
struct Settings;

class MasterDataPage : public QWidget {
    Q_OBJECT
public:
    // Builds the page's widgets into page (which gets the layout).
    MasterDataPage(StudentTable& table, const Settings& settings, Interaction& ui, QWidget* page);

    // The edit field of a stored field (upper-case name); nullptr when the page has none.
    QLineEdit* edit(const QString& field) const { return edits_.value(field); }
    QLineEdit* nameField() const { return edit(QStringLiteral("NAME")); }
    QPushButton* stEin() const { return stEin_; }
    QPushButton* stAus() const { return stAus_; }
    QPushButton* btnNeu() const { return btnNeu_; }
    QPushButton* btnloe() const { return btnloe_; }
    QLabel* sexCaption() const { return sexCaption_; }
    // Fields for help code 031 (personal data) and 032 (courses).
    QList<QWidget*> personalFields() const;
    QList<QWidget*> courseFields() const;

    // Master-data editing on / off: fields, buttons and the marker.
    void setEditing(bool on);
    bool editing() const { return editing_; }
    // "w=weib. m=män." from the settings.
    void updateSexCaption();
    // The captions of STAMMF1 and STAMMF2 from FreiFeld1 and FreiFeld2;
    // found by name, so other subsystems' windows can ask for it.
    Q_INVOKABLE void updateFreeFieldCaptions();
    // Shows the current row and each field's read-only state.
    void showCurrent();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The table lock may have changed the fields' flags while the page was hidden.
    void showEvent(QShowEvent* event) override;

private:
    QLineEdit* addField(const QString& field, int width);
    void write(QLineEdit* edit);
    void fieldLeft(QLineEdit* edit);
    void placeMarker();
    QString fieldOf(const QObject* edit) const;

    StudentTable& table_;
    const Settings& settings_;
    Interaction& ui_;
    QHash<QString, QLineEdit*> edits_;
    QStringList personal_;
    QStringList courses_;
    QPushButton* stEin_ = nullptr;
    QPushButton* stAus_ = nullptr;
    QPushButton* check_ = nullptr;
    QPushButton* btnNeu_ = nullptr;
    QPushButton* btnloe_ = nullptr;
    QLabel* sexCaption_ = nullptr;
    QList<QLabel*> freeCaptions_; // STAMMF1, STAMMF2
    QWidget* buttons_ = nullptr;
    bool editing_ = false;
    bool showing_ = false;
    bool writing_ = false;
};

} // namespace zedora
