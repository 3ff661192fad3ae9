// The page's scripts: classic scripts in one browser page, put together in
// order, each part using the globals of the parts before it.
'use strict';
const parts = {
  SceneFormat: 'readonly', ArrivalsWasm: 'readonly', ArrivalsBridge: 'readonly',
  ArrivalsFragment: 'readonly', ArrivalsJobs: 'readonly', ArrivalsLogo: 'readonly',
  ArrivalsPainter: 'readonly', ArrivalsControls: 'readonly', ArrivalsCommands: 'readonly',
  ArrivalsDescribe: 'readonly',
  ArrivalsPage: 'readonly',
};
const browser = Object.fromEntries([
  'window', 'document', 'location', 'history', 'navigator', 'performance', 'console',
  'crypto', 'setTimeout', 'clearTimeout', 'setInterval', 'clearInterval', 'innerWidth',
  'innerHeight', 'devicePixelRatio', 'addEventListener', 'TextEncoder', 'TextDecoder',
  'Blob', 'URL', 'MessageChannel', 'BigInt', 'Uint8Array', 'Uint32Array', 'Float32Array',
  'JSON', 'Math', 'Object', 'Array', 'String', 'Error',
].map((name) => [name, 'readonly']));

module.exports = [{
  files: ['**/*.js'],
  languageOptions: {
    ecmaVersion: 2022,
    sourceType: 'script',
    globals: { ...browser, ...parts },
  },
  rules: {
    'no-undef': 'error',
    'no-unused-vars': 'error',
    'no-redeclare': ['error', { builtinGlobals: false }],
    'no-shadow': 'error',
    'no-implicit-globals': 'error',
    'no-var': 'error',
    'prefer-const': 'error',
    eqeqeq: 'error',
    strict: ['error', 'global'],
    'no-unreachable': 'error',
    'no-fallthrough': 'error',
    'no-empty': ['error', { allowEmptyCatch: true }],
    'no-constant-condition': 'error',
    'no-dupe-keys': 'error',
    'no-self-assign': 'error',
    'no-unsafe-finally': 'error',
  },
}];
