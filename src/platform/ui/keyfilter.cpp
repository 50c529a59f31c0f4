#include "keyfilter.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QValidator>

namespace {
class KeyFilter : public QObject
{
public:
    KeyFilter(FieldKind kind, QObject *parent)
        : QObject(parent)
        , m_kind(kind)
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const auto *key = static_cast<QKeyEvent *>(event);
            const QString text = key->text();
            if (text.size() == 1) {
                const int code = text.at(0).unicode();
                const bool editingKey = code < 32 || code == 127;
                if (!editingKey && FilterKeyAscii(m_kind, code) == 0)
                    return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    FieldKind m_kind;
};

// Pasted text and text set by the program pass the same filter as typing: what the box
// cannot take is left out, so it never reaches a record.
class FilterValidator : public QValidator
{
public:
    FilterValidator(FieldKind kind, QObject *parent)
        : QValidator(parent)
        , m_kind(kind)
    {
    }

    State validate(QString &input, int &pos) const override
    {
        const QString before = input.left(pos);
        const QString filtered = FilterText(m_kind, input);
        if (filtered.size() != input.size()) {
            pos = int(FilterText(m_kind, before).size());
            input = filtered;
        }
        // A call shows in capitals as it is typed, as it is stored.
        if (m_kind == FieldKind::Call)
            input = input.toUpper();
        return Acceptable;
    }

private:
    FieldKind m_kind;
};
} // namespace

void InstallKeyFilter(QLineEdit *box, FieldKind kind)
{
    box->installEventFilter(new KeyFilter(kind, box));
    box->setValidator(new FilterValidator(kind, box));
}

bool IsLineActivation(const QKeyEvent &key)
{
    const int k = key.key();
    return (k == Qt::Key_Return || k == Qt::Key_Enter || k == Qt::Key_Space)
        && key.modifiers() == Qt::NoModifier;
}
