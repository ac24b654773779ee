// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/fonts.h"
#include <QFont>
#include <QFontDatabase>
#include <QStringList>

QString install_font_substitutions() {
    const QStringList families = QFontDatabase::families(QFontDatabase::Japanese);
    QString gothic;
    for (const QString& preferred : {QStringLiteral("IPAGothic"), QStringLiteral("IPAゴシック")})
        if (families.contains(preferred)) {
            gothic = preferred;
            break;
        }
    if (gothic.isEmpty())
        for (const QString& f : families)
            if (QFontDatabase::isFixedPitch(f)) {
                gothic = f;
                break;
            }
    if (gothic.isEmpty() && !families.isEmpty()) gothic = families.first();
    if (gothic.isEmpty()) return QString();
    QString proportional = gothic;
    for (const QString& p : {QStringLiteral("IPAPGothic"), QStringLiteral("IPA Pゴシック")})
        if (families.contains(p)) {
            proportional = p;
            break;
        }
    // The Windows faces a configuration may name, full-width and half-width spellings.
    for (const QString& face : {QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic"),
                                QStringLiteral("ＭＳ 明朝"), QStringLiteral("MS Mincho")})
        QFont::insertSubstitution(face, gothic);
    for (const QString& face : {QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                                QStringLiteral("MS UI Gothic")})
        QFont::insertSubstitution(face, proportional);
    return gothic;
}
