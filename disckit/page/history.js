// Undo and redo over whole states: every edit stores the state before it.
export class History {
  constructor(limit = 500) {
    this.limit = limit;
    this.past = [];
    this.future = [];
    this.typing = null;
  }

  // `typing` names a run of keystrokes in one field: the edits of one run
  // are one step, the state before its first keystroke.
  record(state, typing = null) {
    const joined = typing !== null && typing === this.typing;
    this.typing = typing;
    this.future = [];
    if (joined) return;
    this.past.push(state);
    if (this.past.length > this.limit) this.past.shift();
  }

  // The run of keystrokes has ended (Enter, the field left).
  seal() {
    this.typing = null;
  }

  undo(current) {
    this.typing = null;
    if (!this.past.length) return null;
    this.future.push(current);
    return this.past.pop();
  }

  redo(current) {
    this.typing = null;
    if (!this.future.length) return null;
    this.past.push(current);
    return this.future.pop();
  }
}
