#include "widgets/framemessage.h"

#include "runtime/messagebox.h"

namespace canvas {

void tellFrameOutcome(FrameOutcome outcome) {
    switch (outcome) {
    case FrameOutcome::Drawn:
        return;
    case FrameOutcome::RefusedRange:
        MsgBox(QStringLiteral("请输入完整的数据！"), kWarningTitle, MessageIcon::Exclamation);
        return;
    }
}

} // namespace canvas
