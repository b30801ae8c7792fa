// The page's faces are files of their own in its fonts/ folder, read into the program's file
// system before main() starts, where the font lookup finds them; through the page's loader
// where it has one, which counts their bytes.
Module['preRun'] = (Module['preRun'] || []).concat(function () {
  var folder = '@TOLVANE_FONT_DIR@';
  FS.mkdirTree(folder);
  [@TOLVANE_PAGE_FONT_NAMES@].forEach(function (name) {
    var what = 'fonts/' + name;
    addRunDependency(what);
    (Module['fetchFile'] || fetch)(what).then(function (response) {
      if (!response.ok) throw new Error(what + ': ' + response.status);
      return response.arrayBuffer();
    }).then(function (bytes) {
      FS.writeFile(folder + '/' + name, new Uint8Array(bytes));
      removeRunDependency(what);
    }, function (error) {
      abort('cannot read ' + error.message);
    });
  });
});
