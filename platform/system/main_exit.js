// main() suspends (Asyncify) at its first wait and returns from that call at once; the runtime
// then stays alive for it. It really returns at the end of a later resumption (by a timer, an
// event or another fiber's switch back to it): then its status ends the program as a return
// from an unsuspended main() would, so the page's onExit runs and node exits with it. main()'s
// export is the one that suspends first (its name may be minified). Where main()'s fiber is
// resumed by a switch inside another resumption of main()'s export, both rewinds end with it:
// the program ends once.
var tolvaneMain, tolvaneEnded = false;
var tolvaneMark = Asyncify.setDataRewindFunc;
Asyncify.setDataRewindFunc = function (ptr) {
  if (tolvaneMain === undefined) tolvaneMain = Asyncify.exportCallStack[0];
  tolvaneMark(ptr);
};
var tolvaneResume = Asyncify.doRewind;
Asyncify.doRewind = function (ptr) {
  var name = Asyncify.callStackIdToName[HEAP32[(ptr + 8) >> 2]];
  var status = tolvaneResume(ptr);
  if (!Asyncify.currData && name === tolvaneMain && !tolvaneEnded) {
    tolvaneEnded = true;
    // A finished fiber's last switch leaves the runtime's keep-alive count raised for a rewind
    // that never comes; nothing else keeps the program alive once main() is done.
    runtimeKeepaliveCounter = 0;
    // On the page exit() ends by throwing ExitStatus to unwind the caller, which here is a
    // timer's or a promise's callback: nothing above would catch it, as the runtime does
    // around the callbacks it calls itself.
    try {
      exit(status);
    } catch (e) {
      if (!(e instanceof ExitStatus)) throw e;
    }
  }
  return status;
};
