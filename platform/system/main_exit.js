// main() suspends (Asyncify) at its first wait and returns from that call at once; the runtime
// then stays alive for it. When it really returns, its status ends the program as a return
// from an unsuspended main() would: the page's onExit runs, node exits with it.
Module['postRun'] = [].concat(Module['postRun'] || [], function () {
  if (Asyncify.currData) {
    Asyncify.whenDone().then(function (status) { exit(status); });
  }
});
