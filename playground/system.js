// The system interface that the module's C library imports, answered for a
// page: the simulated shell hands its output to the page, not to a file, so
// writes are swallowed, and no file exists. Shared by the page and the
// guide's build, which runs the module in Node.
// eslint-disable-next-line no-unused-vars
function tickrailSystemImports(module, memory) {
  // Success, a bad descriptor, no such file, not supported.
  const OK = 0, BADF = 8, NOENT = 44, NOSYS = 52;
  const view = () => new DataView(memory().buffer);
  const zeroes = (count, size) => { view().setUint32(count, 0, true); view().setUint32(size, 0, true); return OK; };
  const known = {
    fd_write(fd, iovs, count, written) {
      let total = 0;
      for (let i = 0; i < count; i++) total += view().getUint32(iovs + i * 8 + 4, true);
      view().setUint32(written, total, true);
      return OK;
    },
    fd_prestat_get: () => BADF,  // no folders open: the end of the start-up's search
    fd_close: () => BADF,
    path_open: () => NOENT,
    path_filestat_get: () => NOENT,
    environ_sizes_get: zeroes,
    args_sizes_get: zeroes,
    proc_exit(code) { throw new Error(`the module stopped with exit code ${code}`); },
  };
  const imports = {};
  for (const entry of WebAssembly.Module.imports(module)) {
    imports[entry.module] = imports[entry.module] || {};
    imports[entry.module][entry.name] = known[entry.name] || (() => NOSYS);
  }
  return imports;
}
