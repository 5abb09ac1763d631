#include "explanations.h"

#include "normcompute.h"

namespace explanations {

QString rateText(calc::Extended rate)
{
    return norms::rateText(static_cast<double>(rate));
}

QString materialOf(const QString &caption)
{
    const qsizetype comma = caption.indexOf(u',');
    return (comma < 0 ? caption : caption.left(comma)).trimmed();
}

QString of(const QString &caption, const calc::FigureBasis &basis, const QString &variant)
{
    using Kind = calc::FigureBasis::Kind;
    const QString material = materialOf(caption);
    const QString note = basis.note ? QString::fromUtf8(basis.note) : variant;
    switch (basis.kind) {
    case Kind::Formula:
        return material + QStringLiteral(" = ") + QString::fromUtf8(basis.what);
    case Kind::Rate: {
        QString text = material + QStringLiteral(" = ") + QString::fromUtf8(basis.what) +
                       QStringLiteral(" × ") + rateText(basis.rate) + u' ' +
                       QString::fromUtf8(basis.unit);
        if (!note.isEmpty())
            text += QStringLiteral(" (") + note + u')';
        return text;
    }
    case Kind::NoRate:
        return material + QStringLiteral(" — норма не задана");
    case Kind::NotUsed:
        return material + QStringLiteral(" — не используется: ") + note;
    case Kind::NoChoice:
        return material + QStringLiteral(" — ") + note;
    }
    return material;
}

QStringList of(const QStringList &captions, const calc::FigureBases &bases)
{
    Q_ASSERT(captions.size() == bases.size());
    QStringList texts;
    for (qsizetype row = 0; row < captions.size(); ++row)
        texts.append(of(captions[row], bases[row]));
    return texts;
}

QList<QStringList> byChoice(int count, const QStringList &captions,
                            const std::function<calc::FigureBases(int)> &basesOf)
{
    QList<QStringList> texts;
    for (int choice = -1; choice < count; ++choice)
        texts.append(of(captions, basesOf(choice)));
    return texts;
}

} // namespace explanations
