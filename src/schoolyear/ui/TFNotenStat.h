#pragma once
// "Notenstatistik": per class file and grade field the number of each grade
// and the average, filled by class, by subject or all at once, printed
// through the preview and exported as an .xlsx workbook.
#include <QDialog>

class QComboBox;
class QTableWidget;

namespace zedora {

class MainFrame;
struct GradeStatistics;

class TFNotenStat : public QDialog {
    Q_OBJECT
public:
    TFNotenStat(MainFrame& frame, const QStringList& files, const QStringList& gradeFields,
                QWidget* parent = nullptr);

    void fillClass(const QString& file);
    void fillSubject(const QString& field);
    void fillAll();
    void compute();
    void print();
    void exportWorkbook();
    void clearTable();

    QTableWidget& grid() { return *grid_; }

private:
    void setRows(const QVector<QPair<QString, QString>>& rows);
    GradeStatistics collect() const;
    void show(const GradeStatistics& s);

    MainFrame& frame_;
    QStringList files_, fields_;
    QComboBox* fileBox_;
    QComboBox* fieldBox_;
    QTableWidget* grid_;
};

} // namespace zedora
