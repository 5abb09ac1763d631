#pragma once

class QLabel;
class QWidget;

// The two pages of the shell itself: the home page and the section overview page.
namespace shellpages {

QWidget *createHomePage();

// The overview page serves every section; its title label is returned through title.
QWidget *createOverviewPage(QLabel **title);

} // namespace shellpages
