#pragma once
// The time line window's folds: each Fold it asks for opens a fold window over it, and an orbit
// chosen in a fold window is shown in the time line. The program and the tests link them alike.
namespace kelvarox {

class Notifier;
class TimeLineWindow;

void OpenFoldsOf(TimeLineWindow& timeLine, Notifier& notifier);

}  // namespace kelvarox
