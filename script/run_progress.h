// The progress a script run reports to the page that shows the work: the action and path of
// each item, the item's own progress, and the share of all items done. Without a window
// nothing is sent, and the run shows no message either.
#pragma once
#include <windows.h>

#include <cstddef>

class RunProgress {
 public:
  RunProgress(HWND window, size_t itemsInAll) : window_(window), itemsInAll_(itemsInAll) {}

  HWND Window() const { return window_; }

  // ProgressText with the action word (string actionId, ending in its line break) and the path
  // directly behind it, then ItemProgress 0: the start of an item, or its second step.
  void StartItem(UINT actionId, const char* path);

  // ItemProgress 100, one more item done, then OverallProgress: sent for every item, whether
  // it applied or not.
  void EndItem();

  size_t ItemsDone() const { return itemsDone_; }

 private:
  HWND window_;
  size_t itemsInAll_;
  size_t itemsDone_ = 0;
};
