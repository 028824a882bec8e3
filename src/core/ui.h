#pragma once

#include <QRect>
#include <QString>
#include <QStringList>

namespace zanfold {

enum class Icon { None, Information, Warning, Error, Question, Exclamation };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

// The parts of the window a model change asks to be drawn again.
enum class View {
    Strip,        // the photo strip
    Canvas,       // every visible cell of the crop canvas
    SelectedCell, // the selected cell only
};

enum class TabStrip { Specs, Works };

// Where the crop canvas goes and whether its scroll bar shows (range 0 .. maximum, page rows per page).
struct CanvasPlacement {
    QRect canvas;
    bool scrollBar = false;
    QRect scrollRect;
    int scrollMaximum = 0;
    int scrollPage = 0;
};

// Every effect the program has on the user goes through this port, so the behaviour can be tested without
// a window. The desktop shell implements it with widgets, the command-line front end on a terminal.
class Ui {
public:
    virtual ~Ui() = default;

    // An empty caption means the application title. `byDefault` is the button that Return presses; a
    // question that can destroy work names Cancel (or No).
    virtual Answer message(const QString& text, Icon icon, Buttons buttons = Buttons::Ok,
                           const QString& caption = {}, Answer byDefault = Answer::Ok) = 0;
    // Dialogs answer an empty text when the user cancels.
    virtual QString browseFolder(const QString& title, const QString& start) = 0;
    virtual QString openFile(const QString& title, const QString& filter, const QString& start) = 0;
    virtual QString saveFile(const QString& title, const QString& filter, const QString& start,
                             const QString& proposed) = 0;

    virtual void setStatus(int part, const QString& text) = 0; // parts 1..3
    virtual void progress(int value, int max) = 0;
    virtual void hideProgress() = 0;
    virtual void setCommandEnabled(int commandId, bool enabled) = 0;
    virtual void setCaption(const QString& caption) = 0;
    virtual void redraw(View view) = 0;
    // Only the cell of position n of the shown specification (its frame, name and outline), when visible.
    virtual void redrawCell(int n) = 0;
    // Only the strip cell of photo p (thumbnail, outline and use count), when visible.
    virtual void redrawStripPhoto(int p) = 0;
    virtual void setTabs(TabStrip strip, const QStringList& texts, int current) = 0;
    virtual void placeCanvas(const CanvasPlacement& placement) = 0;
    virtual void setCanvasScroll(int firstRow) = 0;
    // Selects the photo in the strip and scrolls it into view.
    virtual void showPhoto(int index) = 0;
    // The colour dialog, starting at a Windows colour value 0x00BBGGRR; the chosen one, or -1 when cancelled.
    virtual int chooseColour(int initial) = 0;
    // Opens the settings dialog and returns when it is closed.
    virtual void showSettings() = 0;
    // A user action starts (true) or has ended (false): the window shows it is not taking input.
    virtual void setBusy(bool busy) = 0;
    // Opens the template window and returns when it is closed: to choose a template for the work when
    // TemplateSelectMode is set (the choice is left in CurrentTemplate), otherwise to manage the library.
    virtual void showTemplateWindow() = 0;
    // Opens a file or folder with the desktop's default application; false when that failed.
    virtual bool openInShell(const QString& path) = 0;
    // Keeps the window alive while the user-interface thread waits for workers.
    virtual void processEvents() = 0;
    // Ends the program; asked for when the user closed the window during a batch that has now finished.
    virtual void quit() = 0;
};

// A question with OK and Cancel and the question icon; true when the user chose OK. Every question names
// its default button.
inline bool confirm(Ui& ui, const QString& text, Answer byDefault, const QString& caption = {}) {
    return ui.message(text, Icon::Question, Buttons::OkCancel, caption, byDefault) == Answer::Ok;
}

} // namespace zanfold
