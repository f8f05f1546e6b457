// The tests under Node: the machine's files appear below /host, the test
// starts in the folder it was started in (where IMG/ is), and the HOPS_
// variables of its environment are its own.
Module['preRun'] = [].concat(Module['preRun'] || [], function() {
  FS.mkdir('/host');
  FS.mount(NODEFS, {root: '/'}, '/host');
  FS.chdir('/host' + process.cwd());
  for (var name in process.env) if (name.indexOf('HOPS_') === 0) ENV[name] = process.env[name];
});
