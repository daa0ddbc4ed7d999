# Writes the README's first C++ block, after a small stand-in for the host's main
# window, to OUTPUT; the build and CI compile it so that the example keeps working.
# The stand-in quits a second after start, so that a run of the example ends by itself.
function(wexo_write_readme_example readme output)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${readme})
  file(READ ${readme} text)
  string(FIND "${text}" "```cpp\n" start)
  if(start EQUAL -1)
    message(FATAL_ERROR "${readme} has no C++ example")
  endif()
  math(EXPR start "${start} + 7")
  string(SUBSTRING "${text}" ${start} -1 rest)
  string(FIND "${rest}" "```" end)
  string(SUBSTRING "${rest}" 0 ${end} example)
  # Written through configure_file so that an unchanged example keeps its time stamp
  # and is not rebuilt after every configure.
  file(WRITE ${output}.in
"#include <QApplication>
#include <QMainWindow>
#include <QTabWidget>
#include <QTimer>
class MainWindow : public QMainWindow
{
public:
    MainWindow()
    {
        setCentralWidget(new QTabWidget);
        QTimer::singleShot(1000, qApp, &QCoreApplication::quit);
    }
    QTabWidget *tabs() const { return static_cast<QTabWidget *>(centralWidget()); }
};
${example}")
  configure_file(${output}.in ${output} COPYONLY)
endfunction()
