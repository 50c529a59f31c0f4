#include "blockcaret.h"

#include <QProxyStyle>
#include <QWidget>

namespace {
class BlockCaretStyle : public QProxyStyle
{
public:
    int pixelMetric(
        PixelMetric metric, const QStyleOption *option, const QWidget *widget) const override
    {
        if (metric == PM_TextCursorWidth)
            return 5;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};
} // namespace

void GiveBlockCaret(QWidget *box)
{
    // A widget does not own the style it is given: the box does, through parenthood.
    auto *style = new BlockCaretStyle;
    style->setParent(box);
    box->setStyle(style);
}
