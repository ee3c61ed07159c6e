#pragma once

#include "run/OpenedRun.h"
#include "run/RunSummary.h"

#include <QList>
#include <QPair>
#include <QSize>
#include <QString>
#include <QStringList>

class QPainter;

// The one-page A4 report of a run: its details, both charts drawn by the
// chart library, a summary table, its events, the program version and the
// file it came from. The same paint code makes the PDF (vector) and the
// PNG. Needs a QGuiApplication (fonts).
class CRunReport
{
public:
    static constexpr int kDpi = 96;  // page units: A4 is 794 × 1123 of them

    explicit CRunReport(const COpenedRun& run);

    // A4 in page units; also the PNG's size in pixels.
    static QSize PageSize();
    // Whether path ends in .pdf or .png (case ignored).
    static bool IsSupportedPath(const QString& path);

    // Label and value of each detail the file has, in report order.
    QList<QPair<QString, QString>> Details() const;
    // The summary table: label, then minimum, mean, maximum where they apply.
    QList<QStringList> SummaryRows() const;
    // "h:mm:ss  text" per event; Start and Stop included.
    QStringList EventLines() const;
    // The line at the page's foot: program version and source file.
    QString FooterText() const;

    // Paints the page at the painter's origin in page units.
    void Paint(QPainter& painter) const;
    // Writes the report as PDF or PNG, by the suffix, through a temporary
    // file: a failure leaves an existing file as it was. False with the
    // reason in *error.
    bool Save(const QString& path, QString* error) const;

private:
    bool SavePdf(const QString& path, QString* error) const;
    bool SavePng(const QString& path, QString* error) const;
    int PaintTexts(QPainter& painter, int top, const QString& heading, const QList<QStringList>& rows,
                   const QList<int>& columns) const;

    const COpenedRun& m_run;
    CRunSummary m_summary;
};
