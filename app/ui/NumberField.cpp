#include "ui/NumberField.h"

#include "input/VelEdit.h"
#include "run/DurationText.h"
#include "ui/ResourceIds.h"

#include <QMessageBox>
#include <QWidget>

#include <cmath>

CNumberField::CNumberField(QWidget* parent, Kind kind, const QString& name, const QString& unit, double min,
                           double max, unsigned decimals, double value)
    : m_pEdit(new CVelEdit(parent)),
      m_eKind(kind),
      m_strName(name),
      m_strUnit(unit),
      m_dMin(min),
      m_dMax(max),
      m_nDecimals(kind == Kind::Number ? decimals : 0),
      m_dInitial(value)
{
    if (m_eKind == Kind::Number) {
        m_pEdit->EnableNumberEdit();
        m_pEdit->SetRange(min, max);
        m_pEdit->SetPrecision(m_nDecimals);
        // The dialog checks on OK, in its own words; no box while typing.
        m_pEdit->EnableAutoCheck(plat::FALSE);
    }
    m_strInitialText = Text(value);
    m_pEdit->setText(m_strInitialText);
}

void CNumberField::EnableSpin(double step)
{
    if (m_eKind != Kind::Number)
        return;
    m_pEdit->EnableSpinNumButton();
    m_pEdit->SetStepValue(step);
    m_pEdit->EnableAutoCheck(plat::FALSE);
    m_pEdit->setText(m_strInitialText);
}

QString CNumberField::Text(double value) const
{
    if (m_eKind == Kind::Duration)
        return CDurationText::Format(value);
    return QString::number(value, 'f', int(m_nDecimals));
}

std::optional<double> CNumberField::ParseNumber(const QString& text, double min, double max, unsigned decimals)
{
    const QString t = text.trimmed();
    bool ok = false;
    const double value = t.toDouble(&ok);
    if (!ok || !std::isfinite(value) || t.contains(QLatin1Char('e'), Qt::CaseInsensitive))
        return std::nullopt;
    const qsizetype dot = t.indexOf(QLatin1Char('.'));
    if (dot >= 0 && t.size() - dot - 1 > qsizetype(decimals))
        return std::nullopt;
    if (value < min || value > max)
        return std::nullopt;
    return value;
}

std::optional<double> CNumberField::ParseDuration(const QString& text, double min, double max)
{
    const std::optional<double> value = CDurationText::Parse(text.trimmed());
    if (!value || *value < min || *value > max)
        return std::nullopt;
    return value;
}

std::optional<double> CNumberField::Read(QString* error) const
{
    const QString text = m_pEdit->text();
    // The value shown may be rounded, or come from a settings file with a
    // wider range: untouched, it is the caller's own and goes back as it was.
    if (text == m_strInitialText)
        return m_dInitial;
    const std::optional<double> value =
        m_eKind == Kind::Number ? ParseNumber(text, m_dMin, m_dMax, m_nDecimals) : ParseDuration(text, m_dMin, m_dMax);
    if (!value && error)
        *error = Refusal();
    return value;
}

QString CNumberField::Refusal() const
{
    const QString unit = m_strUnit.isEmpty() ? QString() : QLatin1Char(' ') + m_strUnit;
    if (m_eKind == Kind::Duration)
        return QStringLiteral("%1 must be a duration from %2 to %3 (seconds, m:ss or h:mm:ss).")
            .arg(m_strName, CDurationText::Format(m_dMin), CDurationText::Format(m_dMax));
    const QString range = QStringLiteral("from %1 to %2%3").arg(Text(m_dMin), Text(m_dMax), unit);
    if (m_nDecimals == 0)
        return QStringLiteral("%1 must be a whole number %2.").arg(m_strName, range);
    const QString decimals =
        m_nDecimals == 1 ? QStringLiteral("one decimal") : QStringLiteral("%1 decimals").arg(m_nDecimals);
    return QStringLiteral("%1 must be a number %2 with at most %3.").arg(m_strName, range, decimals);
}

bool CNumberField::Refuse(const QString& why, QString* error, QWidget** field) const
{
    *error = why;
    *field = m_pEdit;
    return false;
}

void CNumberField::ShowRefusal(QWidget* dialog, const QString& error, QWidget* field)
{
    QMessageBox::warning(dialog, vantoc::String(vantoc::IDS_PRODUCT_NAME), error);
    if (field)
        field->setFocus(Qt::OtherFocusReason);
}
