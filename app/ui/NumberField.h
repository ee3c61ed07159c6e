#pragma once

#include <QString>
#include <optional>

class CVelEdit;
class QWidget;

// One checked field of a settings dialog: a library edit holding a number
// (with a range and a number of decimals) or a duration (the forms
// CDurationText reads, shown as h:mm:ss). The dialog reads every field
// strictly when it is confirmed, so a refused field leaves nothing applied.
class CNumberField
{
public:
    enum class Kind { Number, Duration };

    // name: how the refusal calls the field ("The maximum speed"); unit is
    // appended to the range in that text. The edit is created in parent.
    CNumberField(QWidget* parent, Kind kind, const QString& name, const QString& unit, double min, double max,
                 unsigned decimals, double value);

    CVelEdit* Edit() const { return m_pEdit; }
    // Adds the library's spin button (numbers only).
    void EnableSpin(double step);

    // The value in the field, or nothing with *error saying what the field
    // takes. An untouched field gives back exactly the value it was given,
    // even one outside the range.
    std::optional<double> Read(QString* error) const;

    // Pure rules of the two kinds, for the tests and for Read.
    static std::optional<double> ParseNumber(const QString& text, double min, double max, unsigned decimals);
    static std::optional<double> ParseDuration(const QString& text, double min, double max);
    QString Refusal() const;
    // Reads the field into target (converted to its type); false with
    // *error and *field (this field's edit) set when it is refused.
    template <class T>
    bool Take(T& target, QString* error, QWidget** field) const
    {
        const std::optional<double> value = Read(error);
        if (!value) return Refuse(*error, error, field);
        target = static_cast<T>(*value);
        return true;
    }
    // Refuses this field for why: sets *error and *field, returns false.
    bool Refuse(const QString& why, QString* error, QWidget** field) const;

    // What a settings dialog does with a refused confirmation: the reason in
    // a message box, then the focus on the field that was refused (if any).
    static void ShowRefusal(QWidget* dialog, const QString& error, QWidget* field);
    // A settings dialog's OK: collect(T*, QString* error, QWidget** field)
    // reads every field; a refusal is shown as ShowRefusal shows it and
    // leaves *target alone. True when *target took what was read.
    template <class T, class Collect>
    static bool Confirm(QWidget* dialog, T* target, Collect collect)
    {
        T read;
        QString error;
        QWidget* field = nullptr;
        if (!collect(&read, &error, &field)) {
            ShowRefusal(dialog, error, field);
            return false;
        }
        *target = read;
        return true;
    }

private:
    QString Text(double value) const;

    CVelEdit* m_pEdit;
    Kind m_eKind;
    QString m_strName;
    QString m_strUnit;
    double m_dMin;
    double m_dMax;
    unsigned m_nDecimals;
    double m_dInitial;
    QString m_strInitialText;
};
