// The game reads its pictures from IMG/ below its working folder; in a page
// they are gzipped files beside it, fetched and unpacked into the game's
// file system before main runs. A picture the server does not have is left
// out, and the game says so itself, as it does on a disk that lacks one.
Module['preRun'] = Module['preRun'] || [];
Module['preRun'].push(function() {
  FS.mkdir('/IMG');
  hopsPictures.forEach(function(name) {
    var path = 'IMG/' + name;
    addRunDependency(path);
    fetch(path + '.gz')
      .then(function(response) { return response.ok ? response.arrayBuffer() : null; })
      .then(function(data) {
        // A server that marks .gz files as gzip-encoded has the browser
        // unpack them already.
        var packed = data && new Uint8Array(data, 0, 2).join() === '31,139';
        if (!packed) return data;
        var unpacked = new Blob([data]).stream().pipeThrough(new DecompressionStream('gzip'));
        return new Response(unpacked).arrayBuffer();
      })
      .catch(function() { return null; })
      .then(function(data) {
        if (data) FS.writeFile('/' + path, new Uint8Array(data));
        else console.warn('hops: ' + path + ' could not be fetched');
        removeRunDependency(path);
      });
  });
});
