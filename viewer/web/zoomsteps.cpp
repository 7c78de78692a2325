// SPDX-License-Identifier: MIT
#include "zoomsteps.h"

#include <QtGlobal>
#include <array>
#include <cmath>

namespace zoomsteps {

namespace {

constexpr std::array<double, 13> steps{0.5,  0.67, 0.75, 0.8, 0.9, 1.0, 1.1,
                                       1.25, 1.5,  1.75, 2.0, 2.5, 3.0};
// Factors come back from the engine as doubles; 1.1 may read as 1.0999999.
constexpr double epsilon = 0.001;

} // namespace

double larger(double factor)
{
    for (double step : steps) {
        if (step > factor + epsilon)
            return step;
    }
    return maximum;
}

double smaller(double factor)
{
    for (auto it = steps.rbegin(); it != steps.rend(); ++it) {
        if (*it < factor - epsilon)
            return *it;
    }
    return minimum;
}

double bounded(double factor)
{
    if (!std::isfinite(factor))
        return normal;
    return qBound(minimum, factor, maximum);
}

QString format(double factor)
{
    return QString::number(bounded(factor), 'g', 4);
}

double parse(const QString &text)
{
    QString t = text.trimmed();
    // A decimal comma is what a Slovak hand writes.
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    if (t.endsWith(QLatin1Char('%'))) {
        bool ok = false;
        const double percent = t.chopped(1).trimmed().toDouble(&ok);
        return ok && percent > 0 ? bounded(percent / 100.0) : normal;
    }
    bool ok = false;
    const double factor = t.toDouble(&ok);
    if (!ok || !(factor > 0))
        return normal;
    return bounded(factor);
}

} // namespace zoomsteps
