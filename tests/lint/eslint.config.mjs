// The editor's page runs in a browser as ES modules; its tests run under
// node, and the browser tests hand some functions to the page to run there.
import js from '@eslint/js';
import globals from 'globals';

export default [
  js.configs.recommended,
  { linterOptions: { reportUnusedDisableDirectives: 'error' } },
  { files: ['disckit/page/**/*.js'], languageOptions: { globals: globals.browser } },
  { files: ['tests/editor/unit/**/*.mjs'], languageOptions: { globals: globals.node } },
  {
    files: ['tests/editor/browser/**/*.mjs'],
    languageOptions: { globals: { ...globals.node, ...globals.browser } },
  },
];
