// The game reads its pictures from IMG/ below its working folder; in a page
// they are files beside it, fetched into the game's file system before
// main runs. A picture the server does not have is left out, and the game
// says so itself, as it does on a disk that lacks one.
Module['preRun'] = Module['preRun'] || [];
Module['preRun'].push(function() {
  FS.mkdir('/IMG');
  hopsPictures.forEach(function(name) {
    var path = 'IMG/' + name;
    addRunDependency(path);
    fetch(path)
      .then(function(response) { return response.ok ? response.arrayBuffer() : null; })
      .catch(function() { return null; })
      .then(function(data) {
        if (data) FS.writeFile('/' + path, new Uint8Array(data));
        else console.warn('hops: ' + path + ' could not be fetched');
        removeRunDependency(path);
      });
  });
});
