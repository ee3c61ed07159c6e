#pragma once

#include <QDialog>

class QLineEdit;

// "Run details…": operator, sample and note for the next run's journal
// header. The operator is remembered between program starts (QSettings).
class CRunDetailsDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CRunDetailsDlg(QWidget* parent = nullptr);

    void SetValues(const QString& op, const QString& sample, const QString& note);
    QString Operator() const;
    QString Sample() const;
    QString Note() const;

    // The operator remembered from the last program run.
    static QString RememberedOperator();
    static void RememberOperator(const QString& op);

    QLineEdit* OperatorEdit() const { return m_pOperator; }
    QLineEdit* SampleEdit() const { return m_pSample; }
    QLineEdit* NoteEdit() const { return m_pNote; }

private:
    QLineEdit* m_pOperator;
    QLineEdit* m_pSample;
    QLineEdit* m_pNote;
};
