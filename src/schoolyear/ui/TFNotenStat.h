#pragma once
// "Notenstatistik": per class file and grade field the number of each grade
// and the average, filled by class, by subject or all at once, printed
// through the preview and exported as an .xlsx workbook.
#include <QDialog>

class QComboBox;
class QListWidget;
class QListWidgetItem;
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
    // The list of files (column 0) or grade fields (column 1) shown when a
    // cell of those columns is clicked.
    QListWidget& pickList() { return *pickList_; }
    void cellClicked(int row, int column);
    void takeOver(QListWidgetItem* item);

private:
    void setRows(const QVector<QPair<QString, QString>>& rows);
    // The rows naming a file or a field; gridRows gets their row numbers.
    GradeStatistics collect(QVector<int>* gridRows = nullptr) const;
    void showResults(const GradeStatistics& s, const QVector<int>& gridRows);

    MainFrame& frame_;
    QStringList files_, fields_;
    QComboBox* fileBox_;
    QComboBox* fieldBox_;
    QTableWidget* grid_;
    QListWidget* pickList_;
    int pickColumn_ = -1;
};

} // namespace zedora
