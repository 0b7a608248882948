#include "print/print_job.h"

#include "print/layout_model.h"

namespace zedora {

QString jobTitle(int kind, const QString& subject, const QString& schuljahr)
{
    switch (kind) {
    case JobKind::PrinterTest: return subject + QStringLiteral("-Testseite");
    case JobKind::ReportCards: return subject + u'-' + schuljahr;
    case JobKind::TableWithData:
    case JobKind::TableEmpty: return QStringLiteral("Tabelle-") + subject;
    case JobKind::ColumnLayout: return QStringLiteral("Layout-") + subject;
    case JobKind::Abbreviations: return QStringLiteral("Notenkürzel-") + subject;
    case JobKind::TextBlockFile: return QStringLiteral("Textbaustein-") + subject;
    case JobKind::Settings: return QStringLiteral("Zedora-Einstellumngen");
    case JobKind::LayoutContents: return subject;
    case JobKind::DataSheet: return QStringLiteral("Datenblatt");
    case JobKind::History: return QStringLiteral("Historie-") + subject;
    case JobKind::TextBlockColumn: return QStringLiteral("Textblockspalte");
    case JobKind::ColumnStatistics: return QStringLiteral("Statistik");
    case JobKind::AbsenceStatistics: return QStringLiteral("Statistik-Fehltage");
    case JobKind::GraduationStatistics: return QStringLiteral("Statistik-Abschlüsse");
    case JobKind::GradeStatistics: return QStringLiteral("Statistische Auswertungen");
    case JobKind::AverageDefinitions: return QStringLiteral("Durchschnittsnotenfestlegung");
    default: return subject;
    }
}

QString singlePageJobTitle(const QString& klasse, const QString& schuljahr, int page)
{
    return klasse + u'-' + schuljahr + u'-' + QString::number(page);
}

bool restrictsGraduation(const QString& code)
{
    const QString c = code.trimmed().toUpper();
    return !c.isEmpty() && c != u"X";
}

PrintRun singleStudentRun(const TDruckLayout& layout)
{
    PrintRun run;
    run.formMode = FormMode::AllData;
    run.gradeFormat = layout.Bedeutung >= 0 ? layout.Bedeutung : kGradeMeaning1;
    run.selection = (layout.Bereich == 1 || layout.Tabellenmodus) ? RecordSelection::WholeClass
                                                                   : RecordSelection::Single;
    return run;
}

PrintRun printCentreRun(const TDruckLayout& layout, FormMode formMode, int chosenGradeFormat,
                        bool wholeClassChosen, const QString& code, const QStringList& ids)
{
    PrintRun run;
    run.formMode = formMode;
    run.gradeFormat = layout.Bedeutung >= 0 ? layout.Bedeutung : chosenGradeFormat;
    const QString c = code.trimmed().toUpper();
    const bool realCode = !c.isEmpty() && c != u"ALLE";
    if (layout.Bereich == 1 || layout.Tabellenmodus || (wholeClassChosen && realCode)) {
        run.selection = RecordSelection::WholeClass;
        run.graduationCode = realCode ? c : QStringLiteral("X");
    } else {
        run.selection = RecordSelection::Selection;
        run.ids = ids.mid(0, kMaxSelectionPages);
    }
    return run;
}

} // namespace zedora
