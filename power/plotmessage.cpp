#include "power/plotmessage.h"

#include "runtime/messagebox.h"

namespace quorvex {

void tellPlotOutcome(PlotOutcome outcome) {
    switch (outcome) {
    case PlotOutcome::Drawn:
        return;
    case PlotOutcome::RefusedZeroExponent:
        canvas::MsgBox(QStringLiteral("m不能为零或空！"), canvas::kWarningTitle,
                       canvas::MessageIcon::Exclamation);
        return;
    case PlotOutcome::RefusedZeroPart:
        canvas::MsgBox(QStringLiteral("m, n不能为零或空！"), canvas::kWarningTitle,
                       canvas::MessageIcon::Exclamation);
        return;
    }
}

} // namespace quorvex
