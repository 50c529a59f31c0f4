#pragma once

#include <QString>

class QWidget;
struct Services;

// File > Import Licence Database...: the zip chosen by the operator is imported under a
// progress bar with Cancel. Answers the status line's text (empty when nothing was chosen).
QString ImportLicenceDatabase(QWidget *parent, Services &services);
