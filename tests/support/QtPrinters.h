// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

// GoogleTest finds PrintTo by argument-dependent lookup, so these live in Qt's namespace.

#include <QString>
#include <QUuid>

#include <ostream>

QT_BEGIN_NAMESPACE

inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QUuid& id, std::ostream* os)
{
    *os << id.toString().toStdString();
}

QT_END_NAMESPACE
