// Undo and redo over whole states: every edit stores the state before it.
export class History {
  constructor(limit = 500) {
    this.limit = limit;
    this.past = [];
    this.future = [];
  }

  record(state) {
    this.past.push(state);
    if (this.past.length > this.limit) this.past.shift();
    this.future = [];
  }

  undo(current) {
    if (!this.past.length) return null;
    this.future.push(current);
    return this.past.pop();
  }

  redo(current) {
    if (!this.future.length) return null;
    this.past.push(current);
    return this.future.pop();
  }
}
