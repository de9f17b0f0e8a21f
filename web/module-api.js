// Part of the module (linked with --post-js): run(command, a, b, c) gives { lines, notice },
// notice null when there is none. An operand left out is an empty box.
Module['run'] = function (command, a = '', b = '', c = '') {
  const [notice, ...lines] = Module['runText'](command, a, b, c).split('\n');
  return { lines, notice: notice === '' ? null : notice };
};
