// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every message box text of the program, one function per message number, so that a text is
// written once and found by its number. What varies comes in as arguments: paths as they are
// shown, capacities (quoted in full-width digits), error numbers and causes.
#include <QString>

QString message_001();
QString message_002();
QString message_020(const QString& backupPath);
QString message_021(const QString& backupPath, const QString& cause);
QString message_071(const QString& cfgPath);

QString message_102();
QString message_103(); // a question: register without a header?
QString message_105(const QString& catalogue);
// readOnly picks the read-only sentence over the error number and its text.
QString message_106(const QString& catalogue, bool readOnly, int error);
QString message_111(const QString& catalogue);
QString message_112(const QString& catalogue);
// An empty `aside` says the journal could not be renamed.
QString message_113(const QString& journal, const QString& catalogue, const QString& aside);
// The two questions without a number: register the block, and search before registering.
QString registration_question();
QString forced_search_question();

QString message_201(const QString& drive, const QString& currentDrive);
QString message_202();
QString message_203(const QString& drive);
QString message_208();

QString message_301(int capacity);
QString message_302(const QString& catalogue);
QString message_303(int capacity);
QString message_305(const QString& catalogue);
QString message_306(const QString& catalogue);
QString message_307(int capacity);
QString message_309();
QString message_310(const QString& catalogue, const QString& cause);
QString message_311(int capacity);

QString message_401();

QString message_501(int capacity);
QString message_502(const QString& catalogue);
QString message_503(const QString& catalogue);
QString message_505();
QString message_508(const QString& catalogue);
